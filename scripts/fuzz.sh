#!/usr/bin/env bash
# Fuzzes every parser: builds the fuzz targets for libFuzzer with clang into
# ${ZORVIK_FUZZ_DIR:-build-fuzz} (-DZORVIK_LIBFUZZER=ON, ASan and UBSan), then runs each
# for SECONDS (default 30) over a copy of its corpus in tests/fuzz/corpus/. Fails when
# any target crashes, breaks a property or hangs; the input that did it is kept in
# <dir>/crashes/ and the target's log in <dir>/logs/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
./scripts/setup.sh --fuzz
dir=${ZORVIK_FUZZ_DIR:-build-fuzz}
cmake -S . -B "$dir" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DZORVIK_LIBFUZZER=ON -DZORVIK_GUI=OFF -DZORVIK_WERROR=${ZORVIK_WERROR:-OFF} >/dev/null
cmake --build "$dir" -j"$(nproc)" --target fuzz_targets

mkdir -p "$dir/crashes" "$dir/logs"
failed=()
for source in tests/fuzz/fuzz_*.cpp; do
  name=$(basename "$source" .cpp)
  work="$dir/corpus/$name"
  rm -rf "$work"
  mkdir -p "$work"
  if [ -d "tests/fuzz/corpus/$name" ]; then
    cp -r "tests/fuzz/corpus/$name/." "$work/"
  fi
  log="$dir/logs/$name.log"
  if "$dir/tests/fuzz/$name" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
       -artifact_prefix="$dir/crashes/$name-" "$work" >"$log" 2>&1; then
    echo "$name: $(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$') runs in ${seconds} s, ok"
  else
    echo "$name: FAILED (log $log)"
    tail -n 40 "$log"
    failed+=("$name")
  fi
done
if ((${#failed[@]})); then
  echo "fuzzing failed: ${failed[*]}"
  exit 1
fi
