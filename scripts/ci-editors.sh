#!/usr/bin/env bash
# CI stage: the editor support. Builds the program, runs the language server under headless
# Neovim (diagnostics, hover, completion read back by Neovim's own client), and type-checks
# the VS Code extension. Installs Neovim, Node.js and npm when missing.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/install.sh

need=()
command -v nvim >/dev/null || need+=(neovim)
command -v node >/dev/null || need+=(nodejs)
command -v npm >/dev/null || need+=(npm)
install_missing --no-install-recommends "${need[@]}"

cmake --preset run >/dev/null
cmake --build --preset run
echo "== neovim"
bash editors/neovim/test/neovim_test.sh build/run/scenario-builder
echo "== vscode extension: type check"
(cd editors/vscode && npm ci --no-audit --no-fund && npm run check)
