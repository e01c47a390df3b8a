#!/usr/bin/env bash
# Builds the benchmarks with the release flags and runs them; arguments go
# to Google Benchmark (e.g. --benchmark_filter=Archive).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/build.sh bench
build/bench/bench/formats_bench "$@"
exec build/bench/bench/pictures_bench "$@"
