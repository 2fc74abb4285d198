#!/usr/bin/env bash
# Installs the Debian packages the build needs, when any is missing. Sourced by run.sh and test.sh.
kx_install_deps() {
  local pkgs=(cmake ninja-build g++ clang libgtest-dev libgmock-dev libbenchmark-dev libpng-dev
              zlib1g-dev qt6-base-dev libgl-dev libgettextpo-dev gettext qt6-translations-l10n "$@")
  local missing=()
  for p in "${pkgs[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}
