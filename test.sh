#!/usr/bin/env bash
# Builds everything and runs every test: native (with sanitizers), the
# fuzzers' short runs, and the Win32 tests under Wine inside one Xvfb
# display and one wineserver, in a private Wine prefix, home and temporary
# folder made for the run (scripts/run-tests.sh).
set -euo pipefail
cd "$(dirname "$0")"
./scripts/setup.sh
./scripts/build.sh
exec ./scripts/run-tests.sh "$@"
