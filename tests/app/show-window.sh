#!/bin/sh
# Starts the program on a virtual display, as on a fresh machine: private home, settings and
# runtime folders, an empty history. Passes when its window appears within the time allowed and
# the program is still running then; the window is then closed.
# Usage: show-window.sh PROGRAM [ARGUMENT...]
set -u
root=$(mktemp -d "${TMPDIR:-/tmp}/bw-show-window.XXXXXX") || exit 1
mkdir -m 700 "$root/home" "$root/run"
export HOME="$root/home" XDG_RUNTIME_DIR="$root/run" QT_QPA_PLATFORM=xcb
unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME DBUS_SESSION_BUS_ADDRESS

xvfb-run -a -s "-screen 0 1280x800x24" sh -c '
    "$@" >"$HOME/program.log" 2>&1 &
    program=$!
    tries=0
    until xwininfo -root -tree 2>/dev/null | grep -q "\"Berthwatch\""; do
        tries=$((tries + 1))
        if [ "$tries" -ge 300 ] || ! kill -0 "$program" 2>/dev/null; then
            echo "The window did not appear:" >&2
            cat "$HOME/program.log" >&2
            kill "$program" 2>/dev/null
            exit 1
        fi
        sleep 0.1
    done
    echo "The window appeared after about $((tries / 10)) s."
    kill -TERM "$program"
    wait "$program" 2>/dev/null
    exit 0
' sh "$@"
status=$?
rm -rf "$root"
exit "$status"
