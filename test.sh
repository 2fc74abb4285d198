#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and UBSan, and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/deps.sh
kx_install_deps
cmake --preset asan >/dev/null
cmake --build --preset asan
export QT_QPA_PLATFORM=offscreen
ctest --preset asan -j "$(nproc)"
