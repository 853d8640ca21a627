#!/usr/bin/env bash
# Sets up the machine, checks the formatting of the sources, builds everything
# with the sanitizers (the benchmarks too, so that they keep compiling; they
# are not run here), runs each fuzz
# harness for a short while ($KIV_FUZZ_SECONDS, default 12 s each, in its own
# clang build folder), starts the private PostgreSQL test server, runs every
# test and stops the server again. Exits non-zero on any failure.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${KIV_BUILD_DIR:-$ROOT/build-test}"

bash "$ROOT/scripts/setup.sh"
bash "$ROOT/scripts/format.sh" --check

cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Debug -DKIV_SANITIZE=ON -DKIV_WERROR=ON -DKIV_BUILD_BENCH=ON
cmake --build "$BUILD" -j"$(nproc)"

# Keeps the fuzz harnesses building and alive; a failure ends the run here.
bash "$ROOT/scripts/fuzz.sh" "${KIV_FUZZ_SECONDS:-12}"

PGDIR="$BUILD/pgserver"
if [ -x "$ROOT/scripts/pgserver.sh" ]; then
    bash "$ROOT/scripts/pgserver.sh" start "$PGDIR"
    trap 'bash "$ROOT/scripts/pgserver.sh" stop "$PGDIR"' EXIT
    # shellcheck disable=SC1091
    source "$PGDIR/env.sh"
fi

cd "$BUILD"
export QT_QPA_PLATFORM=offscreen
ctest --output-on-failure --timeout 900
