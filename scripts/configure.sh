#!/usr/bin/env bash
# Configures build folder DIR from CMake preset PRESET; further arguments go to cmake:
#
#   scripts/configure.sh DIR PRESET [ARGS...]
#
# The presets build with Ninja. A folder that another generator configured (make, in
# Brellow's builds before) cannot be reused by CMake as it stands, so its cache is
# dropped first and the folder configured afresh.
set -euo pipefail
if [ $# -lt 2 ]; then
    echo "usage: $0 DIR PRESET [ARGS...]" >&2
    exit 2
fi
dir=$1
preset=$2
shift 2
cache="$dir/CMakeCache.txt"
if [ -f "$cache" ] && ! grep -qx 'CMAKE_GENERATOR:INTERNAL=Ninja' "$cache"; then
    echo "configure: $dir was configured with another generator; configuring it afresh"
    rm -rf "$cache" "$dir/CMakeFiles"
fi
cmake --preset "$preset" -B "$dir" "$@" >/dev/null
