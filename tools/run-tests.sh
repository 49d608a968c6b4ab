#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test twice: once in a
# normal debug build and once under AddressSanitizer + UndefinedBehaviorSanitizer.
# Both builds compile the project's libraries in unity batches and link them
# as shared objects (fast links), and carry line tables only (-g1: failures
# and sanitizer reports still name file and line, at a quarter less compile
# time); the sanitizer build leaves out the snapshot programs and benchmarks,
# which no test runs.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

common=(-G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SHARED_LIBS=ON -DVELMORA_UNITY_BUILD=ON
        -DCMAKE_C_FLAGS_DEBUG=-g1 -DCMAKE_CXX_FLAGS_DEBUG=-g1)

cmake -S . -B build "${common[@]}"
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

cmake -S . -B build-asan "${common[@]}" -DVELMORA_SANITIZE=ON -DVELMORA_BENCH=OFF -DVELMORA_SNAPSHOTS=OFF
cmake --build build-asan -j"$jobs"
ctest --test-dir build-asan --output-on-failure -j"$jobs"
