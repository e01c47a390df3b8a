#!/usr/bin/env bash
# Builds everything and runs every test: native (with sanitizers), the
# fuzzers' short runs, and the Win32 tests under Wine inside one Xvfb
# display and one wineserver, in a private Wine prefix made for the run.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/setup.sh
./scripts/build.sh
exec xvfb-run -a -s '-screen 0 1280x1024x24' ./scripts/run-tests.sh "$@"
