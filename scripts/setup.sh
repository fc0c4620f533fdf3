#!/usr/bin/env bash
# Installs the packages the build and the tests need (Debian 12), when missing.
# With --fuzz also clang and its libFuzzer runtime, for scripts/fuzz.sh.
set -euo pipefail
packages=(build-essential cmake pkg-config googletest libgtest-dev libgmock-dev
          qt6-base-dev libcups2-dev libudev-dev libcli11-dev nlohmann-json3-dev xxd
          ansible-core)
if [ "${1:-}" = "--fuzz" ]; then
  packages+=(clang libclang-rt-14-dev)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi
