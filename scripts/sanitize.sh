#!/usr/bin/env bash
# Builds the parts of Brellow that need no web engine (server link, application object,
# log file, practice server) and their tests with AddressSanitizer and
# UndefinedBehaviorSanitizer in build-sanitize/, and runs those tests. Exits non-zero on
# any failure or sanitizer report.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
dir=${BRELLOW_SANITIZE_BUILD_DIR:-build-sanitize}

start=$SECONDS
# CMake preset "sanitize", in the folder given if not its own.
scripts/configure.sh "$dir" sanitize
if [ "$dir" = build-sanitize ]; then
    cmake --build --preset sanitize -j"$(nproc)"
else
    cmake --build "$dir" -j"$(nproc)"
fi
echo "sanitize: build took $((SECONDS - start)) s"

# Qt's own libraries are not instrumented. The suppressions cover only leaks that Qt and
# GLib keep for the process's lifetime on purpose (see the file).
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:halt_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1"
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

start=$SECONDS
status=0
(cd "$dir" && ctest -j2 --output-on-failure --timeout 300) || status=$?
echo "sanitize: tests took $((SECONDS - start)) s"
exit "$status"
