#!/usr/bin/env bash
# Builds Zorvik and runs it against the built-in virtual printer. With a display the
# main window opens, preset to the virtual printer on a free loopback port (zorvik
# --demo). Without one, the same job runs headless: the virtual printer starts on a
# free loopback TCP port, zorvik-cli runs Check Communication and Get Status against
# it, the outcomes are printed and the printer stops.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/build.sh
dir=${ZORVIK_BUILD_DIR:-build}

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec "$dir/app/zorvik" --demo
fi

echo "demo: no display; running Check Communication headless against the virtual printer"
sim="$dir/sim/zorvik-sim"
cli="$dir/cli/zorvik-cli"

source scripts/sim.sh
out=$(mktemp)
cleanup() {
    sim_stop
    rm -f "$out"
}
trap cleanup EXIT
sim_start "$sim" "$out"
port=$sim_port
if [ -z "$port" ]; then
    echo "demo: the virtual printer did not start" >&2
    exit 1
fi
echo "Virtual printer listening on 127.0.0.1:$port"
echo "\$ zorvik-cli check --port 127.0.0.1 --tcp-port $port"
status=0
"$cli" check --port 127.0.0.1 --tcp-port "$port" || status=$?
if [ "$status" -ne 0 ]; then
    echo "demo: Check Communication failed (exit $status)" >&2
    exit "$status"
fi
echo "demo: Check Communication succeeded"
echo "\$ zorvik-cli get --port 127.0.0.1:$port"
"$cli" get --port "127.0.0.1:$port" || status=$?
if [ "$status" -eq 0 ]; then
    echo "demo: Get Status succeeded; zorvik-cli --help lists the other actions"
else
    echo "demo: Get Status failed (exit $status)" >&2
fi
exit "$status"
