#!/usr/bin/env bash
# Configures and builds Valvenix with CMake and Ninja into ./build (Release unless BUILD_TYPE says).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-Release}" >/dev/null
cmake --build build -j "$(nproc)"
