#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need.
# A machine that already has them all does no network work.
set -euo pipefail

packages=(
  cmake g++ make ninja-build ccache pkg-config
  qtbase5-dev qtbase5-dev-tools qtscript5-dev qttools5-dev-tools qttranslations5-l10n
  libqt5sql5-sqlite libqt5x11extras5-dev
  libquazip1-qt5-dev libsqlite3-dev zlib1g-dev libbenchmark-dev
  fonts-wqy-microhei fonts-noto-cjk xvfb xauth
  # tools/desktop-tour.sh: a window manager, a compositor, input and screenshots.
  openbox xcompmgr xdotool imagemagick x11-utils
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

# The chart test runs once under zh_CN.UTF-8, whose short day names are Chinese.
if ! locale -a 2>/dev/null | grep -qix 'zh_CN\.utf-\?8'; then
  if ! command -v localedef >/dev/null 2>&1 || [ ! -d /usr/share/i18n/locales ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update
    apt-get install -y --no-install-recommends locales
  fi
  localedef -i zh_CN -c -f UTF-8 -A /usr/share/locale/locale.alias zh_CN.UTF-8
fi
