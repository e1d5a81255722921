#!/usr/bin/env bash
# Installs what is missing, builds and runs Brellow.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
exec build/app/brellow "$@"
