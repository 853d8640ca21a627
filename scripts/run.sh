#!/usr/bin/env bash
# The program's main job on a fresh machine, against a private local database:
# sets the machine up, builds the program, lays out a private suite folder,
# starts a private PostgreSQL server on 127.0.0.1:6543 (the suite's default),
# stores the database credentials with VesperSetup, and runs
#
#     KivDataBaseUpdater -AutoCreate    (or -AutoUpdate once the database exists)
#
# then prints the version the database reports, the exit code and the log file.
#
#   scripts/run.sh            unattended run, no screen needed
#   scripts/run.sh --window   opens the program's window instead (needs a display)
#
# Everything lives in run/ (KIV_RUN_DIR): the suite folder, the server, a
# private HOME. The server is left running; stop it with
#   bash scripts/pgserver.sh stop run/pgserver
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${KIV_BUILD_DIR:-$ROOT/build}"
RUNDIR="${KIV_RUN_DIR:-$ROOT/run}"
PGBIN="${KIV_PG_BIN:-/usr/lib/postgresql/15/bin}"
WINDOW=0
case "${1:-}" in
    "") ;;
    --window) WINDOW=1 ;;
    *) echo "usage: $0 [--window]" >&2; exit 2 ;;
esac

bash "$ROOT/scripts/setup.sh"
cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DKIV_BUILD_TESTS=OFF -DKIV_BUILD_BENCH=OFF >/dev/null
cmake --build "$BUILD" -j"$(nproc)" --target KivDataBaseUpdater VesperSetup KivLogReader translations

# The suite as installed, by the install rules of the build (component
# Suite): the programs and their libraries in Updater/ below the suite root,
# which also holds Language/, Log/, DataBaseBackUp/ and OpenSSL/.
SUITE="$RUNDIR/suite"
UPDATER="$SUITE/Updater"
cmake --install "$BUILD" --prefix "$SUITE" --component Suite >/dev/null

# The private server; the program checks its certificate against this CA.
KIV_PG_PORT=6543 bash "$ROOT/scripts/pgserver.sh" start "$RUNDIR/pgserver"
# shellcheck disable=SC1091
source "$RUNDIR/pgserver/env.sh"
cp -f "$KIV_TEST_PGCAFILE" "$SUITE/OpenSSL/telvorCA-chain.pem"

# A private home: settings store, credentials and nothing of the real user's.
export HOME="$RUNDIR/home"
export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share" XDG_DATA_DIRS="$HOME/data"
export XDG_RUNTIME_DIR="$HOME/runtime"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_DATA_DIRS" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
if [ ! -s "$RUNDIR/datakey" ]; then
    (umask 077; openssl rand -hex 24 > "$RUNDIR/datakey")
fi
printf '%s\n' "$KIV_TEST_PGUSER" "$KIV_TEST_PGPASSWORD" "$(cat "$RUNDIR/datakey")" \
    | "$UPDATER/VesperSetup" --force >/dev/null

export PGPASSWORD="$KIV_TEST_PGPASSWORD"
psql_pelq()
{
    "$PGBIN/psql" -X -q -t -A -h 127.0.0.1 -p 6543 -U "$KIV_TEST_PGUSER" -d "$1" -c "$2"
}

if [ "$WINDOW" -eq 1 ]; then
    set +e
    "$UPDATER/KivDataBaseUpdater"
    code=$?
    set -e
else
    if [ "$(psql_pelq postgres "SELECT count(*) FROM pg_database WHERE datname = 'pelq'")" = "0" ]; then
        MODE=-AutoCreate
    else
        MODE=-AutoUpdate
    fi
    echo "Running: $UPDATER/KivDataBaseUpdater $MODE"
    set +e
    "$UPDATER/KivDataBaseUpdater" "$MODE"
    code=$?
    set -e
fi

version="$(psql_pelq pelq 'SELECT "kivVersion"()' 2>/dev/null || echo "no database")"
echo "Database pelq on 127.0.0.1:6543 reports version: $version"
echo "Exit code: $code"
echo "Log file: $(ls -t "$SUITE"/Log/*.log 2>/dev/null | head -n 1)"
exit "$code"
