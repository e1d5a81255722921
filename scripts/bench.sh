#!/usr/bin/env bash
# Builds Brellow in release mode into build-bench/ and runs the benchmark on a
# private X server. Arguments go to brellow-bench: --quick, --only SECTIONS,
# --brellow PATH, --env NAME=VALUE, --json FILE, --users N (see --help).
# Run it as root on a quiet machine: it creates throwaway users for the
# several-users memory figures and flags memory read beside other Qt WebEngine programs.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# CMake preset "bench": a release build of brellow, the bare view and the bench.
scripts/configure.sh build-bench bench
cmake --build --preset bench -j"$(nproc)" >build-bench/build.log 2>&1 ||
    { cat build-bench/build.log; exit 1; }
exec scripts/with-xvfb.sh build-bench/bench/brellow-bench "$@"
