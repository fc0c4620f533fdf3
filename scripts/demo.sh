#!/usr/bin/env bash
# Builds Zorvik and runs it against the built-in virtual printer. With a display the
# main window opens, preset to the virtual printer (zorvik --demo). Without one, the
# same Check Communication runs headless through zorvik-cli against zorvik-sim, over
# loopback TCP and over a pseudo-terminal, and the outcome is printed.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/build.sh
dir=${ZORVIK_BUILD_DIR:-build}

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$dir/app/zorvik" --demo
fi

echo "No display: running Check Communication headless against the virtual printer."
sim_out=$(mktemp)
"$dir/sim/zorvik-sim" --pty --tcp >"$sim_out" &
sim_pid=$!
cleanup() {
  kill "$sim_pid" 2>/dev/null || true
  wait "$sim_pid" 2>/dev/null || true
  rm -f "$sim_out"
}
trap cleanup EXIT

# The printer names its pseudo-terminal and its loopback port once it serves them.
for _ in $(seq 100); do
  if grep -q '^tcp: ' "$sim_out" && grep -q '^pty: ' "$sim_out"; then break; fi
  kill -0 "$sim_pid" 2>/dev/null || break
  sleep 0.1
done
address=$(sed -n 's/^tcp: //p' "$sim_out")
pty=$(sed -n 's/^pty: //p' "$sim_out")
if [ -z "$address" ] || [ -z "$pty" ]; then
  echo "The virtual printer did not start." >&2
  exit 1
fi

status=0
echo "== Ethernet: ${address}"
"$dir/cli/zorvik-cli" check --port "${address%:*}" --tcp-port "${address##*:}" || status=1
echo "== Serial: ${pty}"
"$dir/cli/zorvik-cli" check --port "$pty" || status=1
if [ "$status" -eq 0 ]; then
  echo "Both checks passed: the printer was identified over TCP and over the serial line."
else
  echo "A check failed." >&2
fi
exit "$status"
