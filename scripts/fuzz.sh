#!/usr/bin/env bash
# Builds Brellow's libFuzzer targets with clang in build-fuzz/ and runs each for the
# given number of seconds (default 60) from its committed seed corpus, which is copied to
# a scratch folder first so that runs do not grow it. Exits non-zero on any crash, leak,
# sanitizer report or time-out; the reproducing input is kept in build-fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
dir=${BRELLOW_FUZZ_BUILD_DIR:-build-fuzz}
targets=(fuzz_receiver fuzz_simserver)

start=$SECONDS
# CMake preset "fuzz" (clang), in the folder given if not its own.
scripts/configure.sh "$dir" fuzz
if [ "$dir" = build-fuzz ]; then
    cmake --build --preset fuzz -j"$(nproc)"
else
    cmake --build "$dir" -j"$(nproc)" --target "${targets[@]}"
fi
echo "fuzz: build took $((SECONDS - start)) s"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$dir/artifacts"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

# One target a core: both run side by side.
run() {
    local target=$1 begin=$SECONDS
    cp -r "fuzz/corpus/$target" "$scratch/$target"
    if "$dir/fuzz/$target" "$scratch/$target" -dict="fuzz/$target.dict" \
        -max_total_time="$seconds" -timeout=30 -rss_limit_mb=2048 -max_len=8192 \
        -artifact_prefix="$dir/artifacts/$target-" -print_final_stats=1 \
        >"$scratch/$target.log" 2>&1; then
        echo "fuzz: $target passed in $((SECONDS - begin)) s:" \
            "$(grep -E '^stat::number_of_executed_units' "$scratch/$target.log" | awk '{print $2}') inputs"
    else
        echo "fuzz: $target FAILED after $((SECONDS - begin)) s; its output:" >&2
        tail -n 60 "$scratch/$target.log" >&2
        return 1
    fi
}

pids=()
for target in "${targets[@]}"; do
    run "$target" &
    pids+=($!)
done
status=0
for pid in "${pids[@]}"; do
    wait "$pid" || status=1
done
exit "$status"
