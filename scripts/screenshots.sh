#!/usr/bin/env bash
# Takes the README's pictures of the program on a virtual screen (Xvfb) and
# writes them to docs/:
#
#   main-window.png           the main window, dark style (the suite's default)
#   main-window-plain.png     the main window without the style sheet
#   main-window-it.png        in Italian, with the Tools menu open
#   configuration-dialog.png  the configuration dialog
#   configuration-dialog-it.png  the same in Italian, on its language page
#   about.png                 the About box
#
# It builds the program (like scripts/run.sh, in build/), installs the suite
# into run/screenshots/suite, starts a private PostgreSQL server (port
# $KIV_PG_PORT, default 6543) with a database "pelq" at the version of the
# initial schema, 1.0.0, so that the window shows something to update, and
# drives the program only through its keyboard shortcuts (xdotool), as an
# operator would. The server is stopped at the end.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${KIV_BUILD_DIR:-$ROOT/build}"
WORK="${KIV_SCREENSHOT_DIR:-$ROOT/run/screenshots}"
OUT="$ROOT/docs"
PGBIN="${KIV_PG_BIN:-/usr/lib/postgresql/15/bin}"
SUITE="$WORK/suite"
PROGRAM="$SUITE/Updater/KivDataBaseUpdater"

# The part that runs on the virtual screen: one picture per call of shoot.
if [ "${1:-}" = "--on-screen" ]; then
    settings()
    {
        # $1 language code, $2 dark style sheet (true/false)
        mkdir -p "$XDG_CONFIG_HOME/Marlek Telvor Group"
        cat > "$XDG_CONFIG_HOME/Marlek Telvor Group/Telvor Imaging Suite.conf" <<EOF
[common]
language=$1

[tools]
common\\dbInfo\\dataSource=127.0.0.1
common\\dbInfo\\portNumber=$KIV_TEST_PGPORT
common\\dbInfo\\initialCatalog=pelq
common\\dbInfo\\connectionTimeout=10
common\\miscellaneous\\enableStyleSheet=$2
EOF
    }

    window()
    {
        # The first visible window whose title matches $1.
        timeout 30 xdotool search --sync --onlyvisible --name "$1" | head -n 1
    }

    shoot()
    {
        # $1 picture, $2 language, $3 dark style, $4 what to show
        settings "$2" "$3"
        "$PROGRAM" &
        local pid=$! main
        main="$(window '^KivDataBaseUpdater$')"
        xdotool windowfocus --sync "$main"
        sleep 1.5
        case "$4" in
            window)
                import -window "$main" "$OUT/$1" ;;
            menu)
                # Alt and the menu's mnemonic, as the operator opens it.
                xdotool key "$5"
                sleep 1
                eval "$(xdotool getwindowgeometry --shell "$main")"
                import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$OUT/$1" ;;
            dialog)
                xdotool key "$5"
                local dialog
                dialog="$(window "$6")"
                if [ -n "${7:-}" ]; then
                    sleep 0.5
                    xdotool key $7
                fi
                sleep 1.5
                import -window "$dialog" "$OUT/$1"
                xdotool key Escape ;;
        esac
        kill "$pid"
        wait "$pid" 2>/dev/null || true
    }

    shoot main-window.png en true window
    shoot main-window-plain.png en false window
    shoot main-window-it.png it true menu alt+t
    shoot configuration-dialog.png en true dialog ctrl+p '^Program Configuration$'
    shoot configuration-dialog-it.png it true dialog ctrl+p '^Configurazione programma$' "Down"
    shoot about.png en true dialog F1 '^Kiv DataBase Updater$'
    exit 0
fi

bash "$ROOT/scripts/setup.sh"
cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DKIV_BUILD_TESTS=OFF -DKIV_BUILD_BENCH=OFF >/dev/null
cmake --build "$BUILD" -j"$(nproc)" --target KivDataBaseUpdater VesperSetup KivLogReader translations

rm -rf "$SUITE" "$WORK/home"
cmake --install "$BUILD" --prefix "$SUITE" --component Suite >/dev/null

bash "$ROOT/scripts/pgserver.sh" start "$WORK/pgserver"
trap 'bash "$ROOT/scripts/pgserver.sh" stop "$WORK/pgserver"' EXIT
# shellcheck disable=SC1091
source "$WORK/pgserver/env.sh"
cp -f "$KIV_TEST_PGCAFILE" "$SUITE/OpenSSL/telvorCA-chain.pem"

# A private home with the credentials, as in scripts/run.sh.
export HOME="$WORK/home"
export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share" XDG_DATA_DIRS="$HOME/data"
export XDG_RUNTIME_DIR="$HOME/runtime"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_DATA_DIRS" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
printf '%s\n' "$KIV_TEST_PGUSER" "$KIV_TEST_PGPASSWORD" "screenshot-data-key" | "$SUITE/Updater/VesperSetup" --force >/dev/null

export PGPASSWORD="$KIV_TEST_PGPASSWORD"
psql=("$PGBIN/psql" -X -q -v ON_ERROR_STOP=1 -h 127.0.0.1 -p "$KIV_TEST_PGPORT" -U "$KIV_TEST_PGUSER")
"${psql[@]}" -d postgres -c 'DROP DATABASE IF EXISTS pelq' -c 'CREATE DATABASE pelq'
"${psql[@]}" -d pelq -f "$ROOT/updater/SqlScript/pelq.sql" >/dev/null

mkdir -p "$OUT"
export KIV_TEST_PGPORT
# No window manager: the pictures show the windows' contents without frames.
xvfb-run -a -s "-screen 0 1280x900x24" bash "$0" --on-screen
ls -l "$OUT"/*.png
