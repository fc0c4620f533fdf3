#!/usr/bin/env bash
# Configures and builds into ${ZORVIK_BUILD_DIR:-build}.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
dir=${ZORVIK_BUILD_DIR:-build}
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=${ZORVIK_BUILD_TYPE:-RelWithDebInfo} \
      -DZORVIK_WERROR=${ZORVIK_WERROR:-OFF} -DZORVIK_SANITIZE=${ZORVIK_SANITIZE:-OFF} >/dev/null
cmake --build "$dir" -j"$(nproc)"
