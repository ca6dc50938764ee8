#!/usr/bin/env bash
# Runs a Windows program of the build in the project's Wine prefix (ctest's emulator).
. "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
exec "$ZV_WINE" "$@"
