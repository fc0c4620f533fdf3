#!/usr/bin/env bash
# The Windows build: cross-compiles the core, zorvik-cli.exe, zorvik-sim.exe and the
# test programs with mingw-w64, runs the tests under Wine, drives zorvik-cli.exe against
# the Linux virtual printer on loopback TCP (the printer's log must match a run of the
# Linux zorvik-cli), drives the Linux zorvik-cli against zorvik-sim.exe (the same
# log again), checks the absent-printer path on a COM port mapped to a
# pseudo-terminal, and packs the release zip.
#
# Needs the Linux build in ${ZORVIK_BUILD_DIR:-build} (zorvik-sim, zorvik-cli);
# builds into ${ZORVIK_WIN_BUILD_DIR:-build-win}.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup.sh --windows

linux=${ZORVIK_BUILD_DIR:-build}
win=${ZORVIK_WIN_BUILD_DIR:-build-win}
work=$(mktemp -d)
export WINEPREFIX="$work/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
sim_pid=""
sim_log=""
cleanup() {
  if [ -n "$sim_pid" ]; then
    kill -TERM "$sim_pid" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$sim_pid" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$sim_pid" 2>/dev/null || true
  fi
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT
wineboot -i >/dev/null 2>&1

echo "== Windows cross build =="
cmake -S . -B "$win" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release \
      -DZORVIK_WERROR=${ZORVIK_WERROR:-OFF} >/dev/null
targets=(zorvik-cli zorvik-sim link_tests settings_tests app_tests cli_tests)
cmake --build "$win" -j"$(nproc)" --target "${targets[@]}"

echo "== Windows tests under Wine =="
ctest --test-dir "$win" --output-on-failure

cli_exe="$win/cli/zorvik-cli.exe"
# The virtual printer the runs below start: the Linux one unless set otherwise.
sim_program=("$linux/sim/zorvik-sim")
# Starts the virtual printer with the given options, logging to $1; sets sim_pid.
start_sim() {
  local log=$1
  shift
  "${sim_program[@]}" "$@" >"$log" &
  sim_pid=$!
  sim_log=$log
  for _ in $(seq 100); do
    grep -q "^\(tcp\|pty\): " "$log" && return 0
    sleep 0.1
  done
  echo "windows: the virtual printer did not start" >&2
  return 1
}
# The loopback TCP port the printer whose output is in $1 serves (zorvik-sim.exe ends its
# lines with CR LF).
sim_port() {
  tr -d '\r' <"$1" | sed -n 's/^tcp: 127\.0\.0\.1:\([0-9]*\)$/\1/p'
}
stop_sim() {
  # The last bytes a program wrote before it ended may still be on their way into the
  # printer's log: stop it once the log has been still for a moment.
  local size=-1 now
  for _ in $(seq 25); do
    now=$(stat -c %s "$sim_log")
    [ "$now" = "$size" ] && break
    size=$now
    sleep 0.2
  done
  kill -TERM "$sim_pid" 2>/dev/null || true
  for _ in $(seq 50); do kill -0 "$sim_pid" 2>/dev/null || break; sleep 0.1; done
  sim_pid=""
}
# Runs check, get --json and set with the program (and its arguments) after $1 against a
# fresh virtual printer; the printer's log of what it received goes to $1.
exchange() {
  local log=$1
  shift
  start_sim "$work/sim.out" --tcp 0 --log
  local port
  port=$(sim_port "$work/sim.out")
  "$@" check --port 127.0.0.1 --tcp-port "$port"
  # The same status; only the printer's name carries the port of this run.
  "$@" get --json --port "127.0.0.1:$port" | tr -d '\r' | grep -v '"printer": ' >"$log.json"
  "$@" set --port "127.0.0.1:$port" --print-speed 1
  stop_sim
  tr -d '\r' <"$work/sim.out" | grep '^received: ' >"$log"
}

echo "== zorvik-cli.exe against the Linux virtual printer =="
exchange "$work/linux.log" "$linux/cli/zorvik-cli"
exchange "$work/windows.log" wine "$cli_exe"
if ! diff -u "$work/linux.log" "$work/windows.log"; then
  echo "windows: the printer received other bytes from zorvik-cli.exe" >&2
  exit 1
fi
if ! diff -u "$work/linux.log.json" "$work/windows.log.json"; then
  echo "windows: zorvik-cli.exe read another status" >&2
  exit 1
fi
echo "same $(wc -l <"$work/linux.log") exchanges and the same status as the Linux build"

echo "== the Linux zorvik-cli against zorvik-sim.exe =="
sim_program=(wine "$win/sim/zorvik-sim.exe")
exchange "$work/simexe.log" timeout 60 "$linux/cli/zorvik-cli"
sim_program=("$linux/sim/zorvik-sim")
if ! diff -u "$work/linux.log" "$work/simexe.log" || ! diff -u "$work/linux.log.json" "$work/simexe.log.json"; then
  echo "windows: zorvik-sim.exe received or answered otherwise than the Linux virtual printer" >&2
  exit 1
fi
# Windows has no pseudo-terminals: --pty is refused with its reason.
status=0
timeout 60 wine "$win/sim/zorvik-sim.exe" --pty 2>"$work/simpty.err" || status=$?
if [ "$status" -ne 2 ] || ! grep -q "not available on Windows" "$work/simpty.err"; then
  echo "windows: zorvik-sim.exe --pty did not say that it is not available (exit $status)" >&2
  exit 1
fi
# Reply faults: the Linux check ends alike against both printers. check_with LOG OPTIONS...
# keeps the check's messages and exit status against a fresh printer with those options.
check_with() {
  local log=$1 port status=0
  shift
  start_sim "$work/fault.out" --tcp 0 "$@"
  port=$(sim_port "$work/fault.out")
  timeout 60 "$linux/cli/zorvik-cli" check --port "127.0.0.1:$port" >"$log" 2>&1 || status=$?
  echo "exit $status" >>"$log"
  stop_sim
}
for fault in "--split 3" "--hang-up-after-replies 1" "--babble-after-replies 1" "--drop-after 4" \
             "--refuse-after 4"; do
  read -ra options <<<"$fault"
  sim_program=("$linux/sim/zorvik-sim")
  check_with "$work/fault.linux" "${options[@]}"
  sim_program=(wine "$win/sim/zorvik-sim.exe")
  check_with "$work/fault.windows" "${options[@]}"
  if ! diff -u "$work/fault.linux" "$work/fault.windows"; then
    echo "windows: with $fault the check ended otherwise against zorvik-sim.exe" >&2
    exit 1
  fi
done
sim_program=("$linux/sim/zorvik-sim")
echo "zorvik-sim.exe serves the same exchanges, status and reply faults as the Linux virtual printer"

echo "== a COM port on a pseudo-terminal =="
# Wine maps COM names to Linux devices; a pseudo-terminal has no modem lines, so the
# presence test cannot see DSR and the printer counts as absent.
start_sim "$work/pty.out" --pty
pty=$(sed -n 's/^pty: //p' "$work/pty.out")
wine reg add 'HKLM\Software\Wine\Ports' /v COM7 /d "$pty" /f >/dev/null
wineserver -k >/dev/null 2>&1
# The ports list comes from the system's device names, where Wine's mapping shows.
if ! wine "$cli_exe" ports 2>/dev/null | tr -d '\r' | grep '^  COM7 .*(present)$' >/dev/null; then
  echo "windows: zorvik-cli.exe ports does not list the mapped COM7 as present" >&2
  exit 1
fi
status=0
wine "$cli_exe" check --port COM7 2>"$work/com7.err" || status=$?
stop_sim
tr -d '\r' <"$work/com7.err"
if [ "$status" -ne 1 ] || ! grep -q "Can't open port and Printer is disconnected" "$work/com7.err"; then
  echo "windows: COM7 on a pseudo-terminal did not give the absent-printer message (exit $status)" >&2
  exit 1
fi

# Presets from the printer registry: a queue on a standard TCP/IP port of 127.0.0.1 with
# the virtual printer's port; zorvik-cli.exe --queue takes its port from there.
echo "== a printer queue's preset from the registry =="
start_sim "$work/queue.out" --tcp 0 --log
port=$(sim_port "$work/queue.out")
wine reg add 'HKLM\SYSTEM\CurrentControlSet\Control\Print\Printers\Zorvik Test' /v Port /d IP_127.0.0.1 /f >/dev/null
wine reg add 'HKLM\SYSTEM\CurrentControlSet\Control\Print\Monitors\Standard TCP/IP Port\Ports\IP_127.0.0.1' \
  /v PortNumber /t REG_DWORD /d "$port" /f >/dev/null
wine "$cli_exe" --queue "Zorvik Test" check
stop_sim
if ! grep -q '^received: ' "$work/queue.out"; then
  echo "windows: the registry queue's preset did not reach the virtual printer" >&2
  exit 1
fi
status=0
wine "$cli_exe" --queue "No Such Queue" check 2>"$work/noqueue.err" || status=$?
if [ "$status" -ne 2 ]; then
  echo "windows: a queue the registry does not hold was not refused (exit $status)" >&2
  exit 1
fi

echo "== release zip =="
cmake --build "$win" --target zorvik_windows_zip
ls -l "$win"/zorvik-*-windows-x86_64.zip
