#!/usr/bin/env bash
# End-to-end test of the language server with Neovim's own client: headless Neovim opens a
# train text whose second signal takes the cell of the first, and reads back the diagnostic
# (line, column, code), a hover and a completion list. Usage: neovim_test.sh EXECUTABLE
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
server=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$server" sources "$work" >/dev/null
train="$work/Torbena-Sarvico-Zeva_9-.txt"
printf '%s\r\n' '[generale]' 'segnale,    8000,   2, 4, 1,  1, 0,    2,  2,1,1, 0' \
  'segnale,    8010,   2, 4, 1,  1, 0,    2,  2,1,1, 0' '[segnali]' '' '[fine]' >"$train"
cd "$work"
SB_SERVER="$server" SB_TRAIN="$train" SB_NEOVIM_DIR="$here/.." \
  timeout 60 nvim --headless -n -i NONE -u NONE -c "luafile $here/neovim_test.lua"
echo "neovim: the language server passed"
