#!/usr/bin/env bash
# Configures and builds the default preset (build/).
set -euo pipefail
cd "$(dirname "$0")/.."
[ -f build/CMakeCache.txt ] || cmake --preset default
cmake --build --preset default
