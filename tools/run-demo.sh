#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program on the demo subject.
# Without a display it runs under a virtual X server.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh

cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DVELMORA_BENCH=OFF
cmake --build build-release -j"$(nproc)" --target velmora
cd build-release/shell
if [ -n "${DISPLAY:-}" ]; then
  exec ./velmora
else
  exec xvfb-run -a ./velmora
fi
