#!/usr/bin/env bash
# Builds the libraries as link-time-optimisation code into ${ZORVIK_ODR_DIR:-build-odr}
# and links them whole with -Werror=odr: fails when one type name has two
# definitions anywhere in the program.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${ZORVIK_ODR_DIR:-build-odr}
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Debug -DZORVIK_TESTS=OFF -DZORVIK_ODR_CHECK=ON \
      -DZORVIK_WERROR=${ZORVIK_WERROR:-OFF} >/dev/null
cmake --build "$dir" -j"$(nproc)" --target odr_check
