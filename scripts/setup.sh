#!/usr/bin/env bash
# Installs the packages the build and the tests need (Debian 12), when missing.
# With --fuzz also clang and its libFuzzer runtime, for scripts/fuzz.sh; with --windows
# the mingw-w64 cross compiler and Wine, for scripts/windows.sh.
set -euo pipefail
packages=(build-essential cmake pkg-config googletest libgtest-dev libgmock-dev
          qt6-base-dev libcups2-dev libudev-dev libcli11-dev nlohmann-json3-dev xxd
          ansible-core)
if [ "${1:-}" = "--fuzz" ]; then
  packages+=(clang libclang-rt-14-dev)
fi
# The system-service tests: a private print server and a mocked USB device tree. Their
# recommendations (a network printer browser, colour management, scanners) are not needed.
services=(cups-daemon cups-client umockdev)
if [ "${1:-}" = "--windows" ]; then
  services+=(g++-mingw-w64-x86-64-posix wine wine64)  # Wine's recommendations are desktop media
fi
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done
missingServices=()
for p in "${services[@]}"; do
  installed "$p" || missingServices+=("$p")
done
if ((${#missing[@]} + ${#missingServices[@]})); then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  if ((${#missing[@]})); then
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
  fi
  if ((${#missingServices[@]})); then
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missingServices[@]}"
  fi
fi
