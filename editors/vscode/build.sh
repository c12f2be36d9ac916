#!/usr/bin/env bash
# Type-checks the extension and packages it into scenario-builder.vsix (beside this script).
# Needs Node.js 18 or later and npm; the packages come from the npm registry (package-lock.json).
set -euo pipefail
cd "$(dirname "$0")"
npm ci --no-audit --no-fund
npm run check
npm run package
echo "packaged: $(pwd)/scenario-builder.vsix"
