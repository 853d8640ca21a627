#!/usr/bin/env bash
# Builds the libFuzzer harnesses of fuzz/ with clang in a build folder of
# their own and runs each for a while, seeded with inputs that our own
# encoders make at run time.
#
#   scripts/fuzz.sh [SECONDS] [HARNESS...]
#
# SECONDS is the time per harness (default 15); without HARNESS all six run.
# The build folder is $KIV_FUZZ_BUILD_DIR or ./build-fuzz. Each harness keeps
# the corpus it grows in BUILD/corpus/HARNESS for the next run; its output
# goes to BUILD/fuzz-logs/HARNESS.log, and an input that fails is saved in
# BUILD/fuzz-logs/ under the harness's name. Further libFuzzer options can be
# given in $KIV_FUZZ_OPTIONS (e.g. "-max_len=100000 -jobs=2").
# Exits non-zero when a harness finds a crash, a leak, an input that takes
# more than 10 s or more than 2 GB.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${KIV_FUZZ_BUILD_DIR:-$ROOT/build-fuzz}"
SECONDS_EACH="${1:-15}"
shift || true
HARNESSES=("$@")
if [ ${#HARNESSES[@]} -eq 0 ]; then
    HARNESSES=(FuzzLightCipher FuzzSymmetricEncryption FuzzEncryptedLog FuzzXmlSettings FuzzCredentials FuzzBackupArchive)
fi

cmake -S "$ROOT" -B "$BUILD" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKIV_BUILD_FUZZ=ON -DKIV_BUILD_TESTS=OFF -DKIV_BUILD_BENCH=OFF >/dev/null
cmake --build "$BUILD" -j"$(nproc)" --target kivfuzzers

SEEDS="$BUILD/seeds"
LOGS="$BUILD/fuzz-logs"
rm -rf "$SEEDS"
mkdir -p "$LOGS"
"$BUILD/bin/FuzzSeeds" "$SEEDS"

for harness in "${HARNESSES[@]}"; do
    mkdir -p "$BUILD/corpus/$harness" "$SEEDS/$harness"
    log="$LOGS/$harness.log"
    # shellcheck disable=SC2086
    if ! "$BUILD/bin/$harness" -max_total_time="$SECONDS_EACH" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$LOGS/$harness-" ${KIV_FUZZ_OPTIONS:-} \
        "$BUILD/corpus/$harness" "$SEEDS/$harness" >"$log" 2>&1; then
        tail -n 60 "$log"
        echo "fuzz: $harness FAILED (log: $log)" >&2
        exit 1
    fi
    runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")"
    echo "fuzz: $harness passed, ${runs:-?} inputs in ${SECONDS_EACH} s"
done
