#!/usr/bin/env bash
# Runs a command on a private X server (Xvfb, 1920x1080, 24 bits, local clients
# only) and passes on its exit code:
#
#   scripts/with-xvfb.sh COMMAND [ARGS...]
#
# Xvfb picks a free display number itself and names it (-displayfd) only once it
# accepts clients, so no other X server can take the number between the pick and
# the start, as it can with `xvfb-run -a`; nor does a client connect too early.
# The server and the command end with this script: on exit, on SIGTERM, SIGINT
# or SIGHUP, and (through the parent-death signal) even when it is killed.
set -euo pipefail

if [ $# -eq 0 ]; then
    echo "usage: $0 COMMAND [ARGS...]" >&2
    exit 2
fi

dir=$(mktemp -d "${TMPDIR:-/tmp}/brellow-xvfb.XXXXXX")
xvfb=
command_pid=

stop() {
    if [ -n "$command_pid" ]; then
        kill "$command_pid" 2>/dev/null || true
        wait "$command_pid" 2>/dev/null || true
    fi
    if [ -n "$xvfb" ]; then
        kill "$xvfb" 2>/dev/null || true
        wait "$xvfb" 2>/dev/null || true
    fi
    rm -rf "$dir"
}
trap stop EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

# A fresh cookie: other users of a shared machine cannot reach the server. The
# server reads every cookie of its file at start, whatever display it names.
cookie=$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')
export XAUTHORITY="$dir/Xauthority"
: >"$XAUTHORITY"
xauth -q -f "$XAUTHORITY" add :0 MIT-MAGIC-COOKIE-1 "$cookie"

mkfifo "$dir/display"
# -noreset: the server keeps running when its last client leaves.
setpriv --pdeathsig KILL -- Xvfb -displayfd 3 -screen 0 1920x1080x24 -noreset -nolisten tcp \
    -auth "$XAUTHORITY" 3>"$dir/display" 2>"$dir/xvfb.log" </dev/null &
xvfb=$!
display=
# Opening the pipe waits for Xvfb to open its end; end of file means it gave up.
read -r -t 60 display <"$dir/display" || true
if [ -z "$display" ]; then
    echo "with-xvfb: Xvfb did not start:" >&2
    cat "$dir/xvfb.log" >&2
    exit 1
fi
export DISPLAY=":$display"
xauth -q -f "$XAUTHORITY" add "$DISPLAY" MIT-MAGIC-COOKIE-1 "$cookie"
# Nobody else's display or session can be reached by mistake.
unset WAYLAND_DISPLAY

# In the background, so that a signal reaches the trap at once rather than after the
# command ends.
setpriv --pdeathsig KILL -- "$@" <&0 &
command_pid=$!
status=0
wait "$command_pid" || status=$?
command_pid=
exit "$status"
