#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need.
# A machine that already has them all does no network work.
set -euo pipefail

packages=(
  cmake g++ make ccache pkg-config
  qtbase5-dev qtbase5-dev-tools qtscript5-dev qttools5-dev-tools qttranslations5-l10n
  libqt5sql5-sqlite
  libquazip1-qt5-dev libsqlite3-dev zlib1g-dev libbenchmark-dev
  fonts-wqy-microhei xvfb xauth
)

missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y --no-install-recommends "${missing[@]}"
fi
