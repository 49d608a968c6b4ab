#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program on the demo subject.
# Without a display it runs under a virtual X server.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh

cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DVELMORA_BENCH=OFF
cmake --build build-release -j"$(nproc)" --target velmora demo_subject
cd build-release/shell
# The program runs from its own directory; give it the demo subject once,
# never over a data directory that may hold the user's records.
[ -e data ] || cp -r ../demo/data data
if [ -n "${DISPLAY:-}" ]; then
  exec ./velmora
else
  exec xvfb-run -a ./velmora
fi
