#!/usr/bin/env bash
# Installs what is missing, builds, starts the practice statistics server and then
# Brellow against it. Without a display (a server, CI) it plays the demo under Xvfb
# for about a minute and saves screenshots of the window instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh

# The web engine's sandbox refuses to run as root.
[ "$(id -u)" -eq 0 ] && export QTWEBENGINE_DISABLE_SANDBOX=1

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: running the demo under Xvfb."
    exec scripts/with-xvfb.sh \
        build/tools/brellow-demo-drive build/app/brellow build/sim/brellow-sim "$PWD/demo-shots"
fi

build/sim/brellow-sim --first-call 4000 > build/brellow-sim.log 2>&1 &
sim=$!
trap 'kill $sim 2>/dev/null; wait $sim 2>/dev/null' EXIT
sleep 0.5
if ! kill -0 $sim 2>/dev/null; then
    cat build/brellow-sim.log >&2
    echo "The practice server did not start (is port 49999 taken?)" >&2
    exit 1
fi
echo "Practice server running (log: build/brellow-sim.log)."
echo "Log in with user name: demo, password: demo. Quit from the tray icon's menu (Exit)."
build/app/brellow "$@"
