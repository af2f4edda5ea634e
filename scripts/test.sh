#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless; then the sanitizer run
# (scripts/sanitize.sh) unless SKIP_SANITIZERS=1.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
./scripts/build.sh
export QT_QPA_PLATFORM=offscreen
(cd build && ctest --output-on-failure -j "$(nproc)")
if [ "${SKIP_SANITIZERS:-0}" != 1 ]; then
    ./scripts/sanitize.sh
fi
