#!/usr/bin/env bash
# Configures and builds Brellow into build/ (CMake preset "default"; extra arguments go to
# cmake's configure step).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default "$@" >/dev/null
cmake --build --preset default -j"$(nproc)"
