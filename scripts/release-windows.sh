#!/usr/bin/env bash
# Builds the Windows release archive build/release/scenario-builder-VERSION-windows-x64.zip:
# scenario-builder.exe and scenario-builder.com, the README and the documents of docs/ as
# text files with CR LF line ends (with the pictures they show), and the VS Code extension
# (.vsix) when editors/vscode is there and can be packaged.
#
#   bash scripts/release-windows.sh [OUTPUT_DIR]
#
# SB_WINDOWS_BUILD names the cross build to use (build/windows; built here when needed).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/install.sh
root=$PWD
win_build=${SB_WINDOWS_BUILD:-$root/build/windows}
out_dir=${1:-$root/build/release}

need=()
command -v x86_64-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-x86-64-posix)
[ -f /usr/include/nlohmann/json.hpp ] || need+=(nlohmann-json3-dev)
install_missing --no-install-recommends "${need[@]}"

version=$(sed -n 's/^project(scenario_builder VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "no version in CMakeLists.txt" >&2; exit 1; }
name=scenario-builder-$version-windows-x64

[ -f "$win_build/CMakeCache.txt" ] || cmake --preset windows -B "$win_build"
cmake --build "$win_build" -j2 --target scenario-builder scenario-builder-com

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
dir=$stage/$name
mkdir -p "$dir/docs"
cp "$win_build/scenario-builder.exe" "$win_build/scenario-builder.com" "$dir/"
# Text with CR LF line ends, as every Windows editor shows it.
as_text() { sed 's/\r$//; s/$/\r/' "$1" >"$2"; }
as_text README.md "$dir/README.txt"
for doc in docs/*.md; do
  [ -f "$doc" ] || continue
  as_text "$doc" "$dir/docs/$(basename "${doc%.md}").txt"
done
for picture in docs/*.png; do
  [ -f "$picture" ] && cp "$picture" "$dir/docs/"
done

# The VS Code extension: its own "package" script if it has one, otherwise vsce.
vsix_made=no
if [ -f editors/vscode/package.json ]; then
  if command -v npm >/dev/null; then
    vsix_dir=$stage/vsix
    mkdir -p "$vsix_dir"
    if (cd editors/vscode &&
        { [ -d node_modules ] || npm ci --no-audit --no-fund || npm install --no-audit --no-fund; } &&
        if grep -q '"package"[[:space:]]*:' package.json; then
          npm run package -- --out "$vsix_dir/"
        else
          npx --yes @vscode/vsce package --out "$vsix_dir/"
        fi) >"$stage/vsix.log" 2>&1; then
      for f in "$vsix_dir"/*.vsix editors/vscode/*.vsix; do
        [ -f "$f" ] && { cp "$f" "$dir/"; vsix_made=yes; break; }
      done
    fi
    [ "$vsix_made" = yes ] || { echo "the VS Code extension could not be packaged; left out:"; tail -20 "$stage/vsix.log"; }
  else
    echo "npm is missing: the VS Code extension is left out (apt-get install npm)"
  fi
else
  echo "no editors/vscode: the VS Code extension is left out"
fi

mkdir -p "$out_dir"
zip=$out_dir/$name.zip
rm -f "$zip"
(cd "$stage" && cmake -E tar cf "$zip" --format=zip "$name")
echo "== $zip"
(cd "$stage" && find "$name" -type f | sort | while read -r f; do
  printf '%10d  %s\n' "$(stat -c %s "$f")" "$f"
done)
