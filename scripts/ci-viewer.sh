#!/usr/bin/env bash
# Viewer stage: the pages of `view` and `serve` in headless Chromium, driven over the
# DevTools protocol on a pipe (scripts/viewer/cdp.py, Python's standard library only):
# the layers, a tooltip, the zoom by wheel, keys, dragging and the box, no error logged,
# the size and the redraw time of the 1,000 km line; then `serve`: a saved train text shows
# its new signal in the open page within a second, a foreign Host header is refused.
# Screenshots go to SB_VIEWER_SHOTS (build/viewer/shots).
#
# Folders (override for a build of your own): SB_NATIVE_BUILD (build/default).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/install.sh
root=$PWD
native_build=${SB_NATIVE_BUILD:-$root/build/default}
shots=${SB_VIEWER_SHOTS:-$root/build/viewer/shots}

need=()
[ -x /usr/bin/chromium ] || need+=(chromium)
command -v python3 >/dev/null || need+=(python3)
[ -f /usr/include/boost/beast.hpp ] || need+=(libboost-dev)
install_missing --no-install-recommends "${need[@]}"

[ -f "$native_build/CMakeCache.txt" ] || cmake -S . -B "$native_build" -DCMAKE_BUILD_TYPE=Release
cmake --build "$native_build" -j2 --target scenario-builder

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
python3 scripts/viewer/check_view.py "$native_build/scenario-builder" "$work" "$shots" || status=1
python3 scripts/viewer/check_serve.py "$native_build/scenario-builder" "$work" "$shots" || status=1
echo "viewer: screenshots in $shots"
exit $status
