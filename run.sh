#!/usr/bin/env bash
# Installs what is missing, builds the release build and starts the program.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/deps.sh
kx_install_deps
cmake --preset release >/dev/null
cmake --build --preset release
if [ -x build/release/ui/kelvatrix ]; then
  exec build/release/ui/kelvatrix "$@"
else
  exec build/release/cli/kelvatrix-cli --help
fi
