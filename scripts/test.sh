#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite: every ctest test
# of the normal build, then the parts without the web engine under AddressSanitizer
# and UndefinedBehaviorSanitizer, then each fuzz target for half a minute (long runs by
# hand: fuzz/README.md).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
start=$SECONDS
scripts/build.sh
echo "test: build took $((SECONDS - start)) s"
start=$SECONDS
(cd build && ctest -j2 --output-on-failure --timeout 600)
echo "test: ctest took $((SECONDS - start)) s"
scripts/sanitize.sh
scripts/fuzz.sh 30
