#!/usr/bin/env bash
# The Debian package of this build (make deb), checked as a user gets it: lintian finds no
# error, the AppStream and desktop files validate, and the package unpacked into a temporary
# root (dpkg -x) runs from another directory with an empty HOME: a chart with the default
# provider and the atlas, the script menu's entry 0, tellurim-gui --version and the manual
# page. As root (CI) the package is also installed with apt-get, run the same way, and removed.
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

(cd "$build" && cpack -G DEB -B "$work/pkg" >"$work/cpack.log") || { cat "$work/cpack.log"; exit 1; }
deb=$(echo "$work"/pkg/tellurim_*.deb)
dpkg-deb -f "$deb" Depends
lintian --fail-on error "$deb"
dpkg -x "$deb" "$work/root"
appstreamcli validate --no-net "$work"/root/usr/share/metainfo/*.metainfo.xml
desktop-file-validate "$work/root/usr/share/applications/tellurim.desktop"

# Runs the installed programs of prefix $1 with a fresh HOME, from a directory of their own.
check() {
  local prefix=$1 home
  home=$(mktemp -d "$work/home.XXXX")
  mkdir -p "$home/run" && cd "$home/run"
  local run=(env -i "HOME=$home" PATH=/usr/bin:/bin LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen)
  "${run[@]}" "$prefix/bin/tellurim" chart --name Sample --first-name Birth --local "1944-06-06 08:00:00" \
    --correction -2 --city Paris --country France --save --print >chart.txt 2>said.txt || { cat said.txt; return 1; }
  grep -q "Sun" chart.txt && grep -q "Bdl precision" chart.txt || { cat chart.txt; return 1; }
  "${run[@]}" "$prefix/bin/tellurim" script --custom 0 \
    --horoscope "$home/Tellurim/horoscopes/Sample_Birth.xml" >reading.txt 2>said.txt || { cat said.txt; return 1; }
  grep -q "Ascendant" reading.txt || { cat reading.txt said.txt; return 1; }
  [ "$("${run[@]}" "$prefix/bin/tellurim-gui" --version)" = "tellurim-gui $2" ]
  man -l "$prefix/share/man/man1/tellurim.1.gz" | grep -q "tellurim chart"
  cd "$work"
}
version=$(dpkg-deb -f "$deb" Version)
check "$work/root/usr" "$version"
# Settings of an installation that has moved name data that is gone: repaired, said once.
run=(env -i "HOME=$work" PATH=/usr/bin:/bin)
"${run[@]}" "$work/root/usr/bin/tellurim" --private-dir "$work/priv" options show >/dev/null 2>&1
mv "$work/root" "$work/moved"
for said in 1 0; do
  [ "$("${run[@]}" "$work/moved/usr/bin/tellurim" --private-dir "$work/priv" options show 2>&1 >/dev/null |
      grep -c "^Settings repaired: ")" = "$said" ]
done
echo "unpacked package: ok"

if [ "$(id -u)" -ne 0 ]; then
  echo "not root: the package is not installed for real"
  exit 0
fi
if dpkg-query -W -f='${Status}' tellurim 2>/dev/null | grep -q "install ok installed"; then
  echo "tellurim is already installed here: left as it is"
  exit 0
fi
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; exit 1; }
trap 'DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq tellurim >/dev/null 2>&1; rm -rf "$work"' EXIT
check /usr "$version"
echo "installed package: ok"
