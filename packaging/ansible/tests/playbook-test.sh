#!/usr/bin/env bash
# The zorvik_printer module driven by ansible-playbook against virtual printers on
# loopback: a first run changes both printers; a second changes and writes nothing,
# while a silent printer beside them fails only its own host; check mode writes nothing.
# Usage: playbook-test.sh ZORVIK_CLI ZORVIK_SIM. Exit 77 (skipped) without ansible-playbook.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cli=$(realpath "$1")
sim=$(realpath "$2")
if ! command -v ansible-playbook >/dev/null; then
  echo "SKIPPED: ansible-playbook is not installed (Debian package ansible-core)"
  exit 77
fi

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Starts a virtual printer on a free loopback port (in this shell, so cleanup ends it).
start_printer() {
  local name=$1
  shift
  "$sim" --tcp 0 --log "$@" >"$work/$name.log" 2>&1 &
  pids+=($!)
}
# The address a started printer serves, once it says so.
address_of() {
  for _ in $(seq 100); do
    grep -q '^tcp: ' "$work/$1.log" && break
    sleep 0.05
  done
  sed -n 's/^tcp: //p' "$work/$1.log"
}
start_printer till_a
start_printer till_b --switch 5=0x00 --switch 11=0x02
start_printer till_silent --silent
a=$(address_of till_a)
b=$(address_of till_b)
silent=$(address_of till_silent)
[ -n "$a" ] && [ -n "$b" ] && [ -n "$silent" ] || { echo "FAIL: a virtual printer did not start"; exit 1; }

cat >"$work/inventory.ini" <<INI
[printers]
till_a printer_port=$a
till_b printer_port=$b
[quiet]
till_silent printer_port=$silent
[all:vars]
ansible_connection=local
ansible_python_interpreter=$(command -v python3)
INI

export ANSIBLE_COLLECTIONS_PATH="$here/.." ANSIBLE_NOCOLOR=1 ANSIBLE_HOME="$work/home" \
  ANSIBLE_LOCAL_TEMP="$work/tmp" ANSIBLE_REMOTE_TEMP="$work/tmp" ANSIBLE_CALLBACK_PLUGINS="$here/callback_plugins" \
  ANSIBLE_CALLBACKS_ENABLED=result_files
# Runs the playbook: run NAME LIMIT CODE_PAGE [ansible-playbook options]; each host's
# result lands in $work/NAME/HOST, the output in $work/NAME.out, the status in $work/NAME.rc.
run() {
  local name=$1 limit=$2 codepage=$3
  shift 3
  local rc=0
  ZORVIK_RESULT_DIR="$work/$name" ansible-playbook -i "$work/inventory.ini" --limit "$limit" \
    -e "zorvik_cli=$cli rollback_dir=$work/rollback entrance_time=60" -e "code_page='$codepage'" \
    "$@" "$here/printers-test.yml" >"$work/$name.out" 2>&1 || rc=$?
  echo "$rc" >"$work/$name.rc"
  echo "== $name: ansible-playbook exit $rc ($SECONDS s)"
}

run first printers "WPC1250 (Czech)" --diff
run second all "WPC1250 (Czech)" --diff
run check printers "PC850 (Multilingual)" --check --diff

python3 - "$work" <<'PY'
import glob, json, os, sys

work = sys.argv[1]
failures = []

def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what)
    if not condition:
        failures.append(what)

def result(run, host):
    with open(os.path.join(work, run, host)) as f:
        return json.load(f)

def status(run):
    with open(os.path.join(work, run + ".rc")) as f:
        return int(f.read())

def switch_writes(path):
    with open(path) as f:
        return sum(1 for line in f if line.startswith("received: GS ( E fn 3"))

def rollbacks():
    return sorted(glob.glob(os.path.join(work, "rollback", "*.sts")))

def pins(state):
    return {"%d.%d" % (s["switch"], p["pin"]): p["state"] for s in state["switches"] for p in s["pins"]}

hosts = ("till_a", "till_b")
check(status("first") == 0, "first run succeeds")
for host in hosts:
    r = result("first", host)
    check(r.get("changed") is True, host + ": first run reports changed")
    diff = r.get("diff", {})
    check(diff.get("before", {}).get("settings", {}).get("codePage") == "PC437 (USA: Standard Europe)"
          and diff.get("after", {}).get("settings", {}).get("codePage") == "WPC1250 (Czech)",
          host + ": diff shows the code page before and after")
    check(diff.get("after", {}).get("pins", {}).get("5.3") == "on", host + ": diff shows pin 5.3 on after")
    check(diff.get("after", {}).get("powerSave") == {"enabled": True, "entranceTime": 60},
          host + ": diff shows power save after")
    check(r.get("after", {}).get("settings", {}).get("printSpeed") == "Print speed 2",
          host + ": the printer holds print speed 2 on read-back")
    check(r.get("rollback", "").startswith(os.path.join(work, "rollback")), host + ": rollback file named")
check(pins(result("first", "till_b")["after"])["11.2"] == "off", "till_b: pin 11.2 went off")
check(len(rollbacks()) == 2, "first run kept two rollback files")
writes = {h: switch_writes(os.path.join(work, h + ".log")) for h in hosts}
check(all(n > 0 for n in writes.values()), "first run wrote both printers")

check(status("second") != 0, "second run fails for the silent printer")
for host in hosts:
    r = result("second", host)
    check(r.get("failed") is False and r.get("changed") is False,
          host + ": second run reports ok, not changed, beside the silent printer")
    check(r.get("diff", {}).get("before") == r.get("diff", {}).get("after"), host + ": second run diff is empty")
quiet = result("second", "till_silent")
check(quiet.get("failed") is True, "till_silent: its host failed")
check("Fail to get printer ID" in quiet.get("msg", ""), "till_silent: fails with the command line's message")
check(quiet.get("stage") == "identify", "till_silent: failed at identification")

check(status("check") == 0, "check mode run succeeds")
for host in hosts:
    r = result("check", host)
    check(r.get("changed") is True, host + ": check mode reports the change it would make")
    check(r.get("diff", {}).get("after", {}).get("settings", {}).get("codePage") == "PC850 (Multilingual)",
          host + ": check mode diff shows the code page it would write")
    check(switch_writes(os.path.join(work, host + ".log")) == writes[host],
          host + ": neither the second run nor check mode wrote to the printer")
check(len(rollbacks()) == 2, "neither the second run nor check mode kept a rollback file")

if failures:
    for name in ("first", "second", "check"):
        with open(os.path.join(work, name + ".out")) as f:
            print("---- %s output\n%s" % (name, f.read()))
    sys.exit(1)
PY
