#!/usr/bin/env bash
# Installs what is missing, builds in Release and starts Valvenix.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
./scripts/build.sh
if [ -x build/src/valvenix ]; then
    exec build/src/valvenix "$@"
fi
# Until the window exists, the command-line host takes the launcher's installation step (create and
# fill the data folder from build/share/valvenix) and then shows the model database.
build/src/valvenix-cli install-data
exec build/src/valvenix-cli models
