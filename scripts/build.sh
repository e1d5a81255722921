#!/usr/bin/env bash
# Configures and builds Brellow into build/ (CMake preset "default"; extra arguments go to
# cmake's configure step).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/configure.sh build default "$@"
cmake --build --preset default -j"$(nproc)"
