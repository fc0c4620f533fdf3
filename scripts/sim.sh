# Sourced: starts and stops a virtual printer on a free loopback TCP port.
#   sim_start PROGRAM OUTFILE   starts PROGRAM --tcp 0, its output in OUTFILE; sets sim_pid,
#                               and sim_port once the printer listens (empty if it never does)
#   sim_stop                    ends it, waiting a bounded time before killing it
sim_pid=""
sim_port=""

sim_start() {
    "$1" --tcp 0 >"$2" &
    sim_pid=$!
    sim_port=""
    for _ in $(seq 100); do
        sim_port=$(sed -n 's/^tcp: 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$2")
        [ -n "$sim_port" ] && break
        kill -0 "$sim_pid" 2>/dev/null || break
        sleep 0.1
    done
}

sim_stop() {
    [ -n "$sim_pid" ] || return 0
    kill -TERM "$sim_pid" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$sim_pid" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$sim_pid" 2>/dev/null || true
    sim_pid=""
}
