#!/usr/bin/env bash
# Makes docs/images/neovim-lsp.png: Neovim in a terminal under tmux, on the built-in train text
# with a signal moved into the cell of the one before it, showing the diagnostics and the
# hover of the field at fault. Needs nvim, tmux, python3 and chromium.
# Usage: editor-screenshot.sh EXECUTABLE
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
server=$(realpath "$1")
work=$(mktemp -d)
trap 'tmux kill-session -t sb-shot 2>/dev/null || true; rm -rf "$work"' EXIT
"$server" sources "$work" >/dev/null
train="$work/Torbena-Sarvico-Zeva_47302-.txt"
# The second signal 10 m after the first: both need the same cell.
awk 'BEGIN { ORS = "\n" } /^segnale,/ && ++n == 2 { sub(/[0-9]+/, "6210") } { print }' "$train" >"$work/t" && mv "$work/t" "$train"
line=$(grep -n '^segnale,' "$train" | sed -n 2p | cut -d: -f1)
cat >"$work/init.lua" <<LUA
package.path = '$root/editors/neovim/?.lua;' .. package.path
require('scenario-builder').setup({ cmd = { '$server', 'lsp' } })
vim.o.number = true
vim.o.signcolumn = 'yes'
vim.cmd('highlight NormalFloat ctermbg=237 ctermfg=252')
LUA
cd "$work"
tmux new-session -d -s sb-shot -x 118 -y 34 "nvim -n -i NONE -u $work/init.lua +$line $train"
sleep 2
tmux send-keys -t sb-shot "zz" ; sleep 0.3
tmux send-keys -t sb-shot "13|" ; sleep 0.3
tmux send-keys -t sb-shot ":lua vim.lsp.buf.hover()" Enter
sleep 1.5
tmux capture-pane -t sb-shot -e -p >"$work/screen.ansi"
python3 "$root/scripts/lib/ansi_to_html.py" <"$work/screen.ansi" >"$work/screen.html"
chromium --headless --no-sandbox --disable-gpu --hide-scrollbars --window-size=1000,640 \
  --screenshot="$root/docs/images/neovim-lsp.png" "file://$work/screen.html" 2>/dev/null
echo "written: docs/images/neovim-lsp.png"
