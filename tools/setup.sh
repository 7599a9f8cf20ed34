#!/usr/bin/env bash
# Installs what Tellurim needs to build, test and run on Debian bookworm, then prepares the
# generated data. Safe to run again: it installs only what is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libcli11-dev libfmt-dev nlohmann-json3-dev libicu-dev
  tzdata
  # database export: the ODBC driver manager, the SQLite and PostgreSQL drivers, and the
  # PostgreSQL server that the tests start in a temporary directory
  unixodbc unixodbc-dev libsqliteodbc odbc-postgresql postgresql sqlite3
  # reference ephemeris for the accuracy tests and benchmarks only
  libswe-dev
  # its fixed-star file (CC0) is the source of the stars catalogue
  swe-basic-data
  # real readers of the written documents in the tests (HTML, rich text)
  python3 python3-lxml unrtf
  # online geocoding (libcurl over OpenSSL), and the openssl tool that makes the test server's certificate
  libcurl4-openssl-dev openssl
  # the chart wheel: Qt painting (PNG, SVG, PDF offscreen), its font, and pdfinfo for the tests
  qt6-base-dev qt6-svg-dev fonts-dejavu-core poppler-utils
  # JPL DE405 (public domain) and its reader: the constants behind libephbdl's data, and the
  # DE405 (1960-2060) for libephjpl.so, converted to a JPL binary file during setup
  casacore-data-jpl-de405 python3-casacore
  # the Tcl/Tk script host, and the X server the Tk script tests start
  tcl8.6-dev tk8.6-dev xvfb xauth
  # the fuzz targets (make fuzz, and their short runs in make test): clang with libFuzzer
  clang-14 libclang-rt-14-dev
  # npm fetches the pinned public data packages (cities, series coefficients)
  nodejs
  # the Debian package (make deb): its dependencies (dpkg-shlibdeps), its checks (lintian, the
  # AppStream and desktop-entry validators) and the man page reader of the install test
  dpkg-dev fakeroot lintian appstream desktop-file-utils man-db
)
if ! command -v npm >/dev/null 2>&1; then
  packages+=(npm)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}" >&2
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
bash "$(dirname "$0")/fetch-npm.sh"
