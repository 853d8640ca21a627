#!/usr/bin/env bash
# Sets up the machine and builds the program and its libraries.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${KIV_BUILD_DIR:-$ROOT/build}"

bash "$ROOT/scripts/setup.sh"
cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DKIV_BUILD_TESTS=OFF
cmake --build "$BUILD" -j"$(nproc)"
echo "Built into $BUILD/bin"
