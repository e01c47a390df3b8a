#!/usr/bin/env bash
# Builds everything and runs every test: native (with sanitizers), the
# fuzzers' short runs, and the Win32 tests under Wine in a private Wine
# prefix, home and temporary folder made for the run, the window tests side
# by side on desks of their own, each a display, a prefix and a wineserver
# (scripts/run-tests.sh).
set -euo pipefail
cd "$(dirname "$0")"
./scripts/setup.sh
./scripts/build.sh
exec ./scripts/run-tests.sh "$@"
