#!/usr/bin/env bash
# Installs, from Debian packages, everything the project needs to build, test
# and run: compiler and CMake, Qt 5 with the PostgreSQL SQL driver, the
# Linguist tools, Qt's own translations and Qt SVG (the build renders the
# program's pictures), OpenSSL, zlib and libpq development files, the
# PostgreSQL 15 server with contrib (pgcrypto), the QDarkStyle style sheet,
# Xvfb, ImageMagick and xdotool for the screenshots, lintian to check the
# Debian package, and clang with its sanitizer and libFuzzer run-time
# libraries for the fuzz harnesses (libclang-rt-14-dev is only recommended by
# clang, so it is named here), clang-format for the format check, and
# python3-jsonschema, with which the tests validate the program's JSON run
# reports against docs/run-report.schema.json, and systemd for
# systemd-analyze, which checks the nightly backup's units.
# Idempotent: does nothing when every package is already present.
set -euo pipefail

PACKAGES=(
    build-essential cmake pkg-config
    qtbase5-dev qtbase5-dev-tools libqt5sql5-psql qttools5-dev-tools qttools5-dev libqt5svg5-dev
    qttranslations5-l10n
    libssl-dev zlib1g-dev libpq-dev openssl
    postgresql-15 postgresql-client-15 postgresql-contrib
    python3-qdarkstyle
    xvfb xauth imagemagick xdotool
    lintian
    clang libclang-rt-14-dev clang-format
    python3-jsonschema
    systemd
)

missing=()
for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
