#!/usr/bin/env bash
# Builds the Debian package of the program: sets the machine up, makes a
# release build with Debian's hardening flags in build-package/
# (KIV_PACKAGE_BUILD_DIR), packs it with CPack and checks the package with
# lintian, which must report no errors. Prints the path of the package.
#
#   bash scripts/package.sh
#   sudo dpkg -i build-package/kivdatabaseupdater_1.13.0.568_amd64.deb; sudo apt-get -f install
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${KIV_PACKAGE_BUILD_DIR:-$ROOT/build-package}"

bash "$ROOT/scripts/setup.sh"

# Debian's compiler and linker flags with every hardening option: fortified
# functions, stack protector, read-only relocations, immediate binding.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
ldflags="$(dpkg-buildflags --get LDFLAGS)"
cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DKIV_BUILD_TESTS=OFF -DKIV_BUILD_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" -DCMAKE_SHARED_LINKER_FLAGS="$ldflags" >/dev/null
cmake --build "$BUILD" -j"$(nproc)"

rm -f "$BUILD"/kivdatabaseupdater_*.deb
(cd "$BUILD" && cpack -G DEB >/dev/null)
deb="$(ls "$BUILD"/kivdatabaseupdater_*.deb)"
lintian --fail-on error --info "$deb"
echo "$deb"
