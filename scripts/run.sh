#!/usr/bin/env bash
# Installs what is missing, builds in Release and starts Valvenix.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
./scripts/build.sh
if [ -x build/src/valvenix ]; then
    exec build/src/valvenix "$@"
fi
# Until the window exists, the command-line host shows the model database.
data="${XDG_DATA_HOME:-$HOME/.local/share}/Morvane/Valvenix"
mkdir -p "$data"
exec build/src/valvenix-cli --data-dir "$data" models
