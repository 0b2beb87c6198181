#!/bin/sh
# Starts the program on a virtual display, as on a fresh machine: private home, settings and
# runtime folders, an empty history. Passes when its window appears within the time allowed and
# the program is still running then; the window is then closed.
# Usage: show-window.sh PROGRAM [ARGUMENT...]
set -u
root=$(mktemp -d "${TMPDIR:-/tmp}/bw-show-window.XXXXXX") || exit 1
mkdir -m 700 "$root/home" "$root/run"
export HOME="$root/home" XDG_RUNTIME_DIR="$root/run" QT_QPA_PLATFORM=xcb
unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME DBUS_SESSION_BUS_ADDRESS XAUTHORITY

# Whether no X server holds display $1. A client looks for the server by its abstract socket
# first, which a server whose lock file is not in our /tmp may hold: both are checked.
is_free() {
    [ ! -e "/tmp/.X$1-lock" ] && ! grep -qa "/tmp/.X11-unix/X$1\$" /proc/net/unix
}

# Starts an X server on a display nobody uses, picked at random as other runs pick at the same
# time, and sets DISPLAY to it; another number is tried when the server does not answer.
start_server() {
    for try in $(seq 50); do
        number=$((200 + $(od -An -N2 -tu2 /dev/urandom) % 700))
        is_free "$number" || continue
        # No reset when the last client leaves: the program connecting meanwhile would be refused.
        Xvfb ":$number" -screen 0 1280x800x24 -nolisten tcp -noreset >"$root/server.log" 2>&1 &
        server=$!
        waited=0
        while [ "$waited" -lt 300 ] && kill -0 "$server" 2>/dev/null; do
            if DISPLAY=":$number" xwininfo -root >/dev/null 2>&1; then
                export DISPLAY=":$number"
                return 0
            fi
            waited=$((waited + 1))
            sleep 0.1
        done
        kill "$server" 2>/dev/null
        wait "$server" 2>/dev/null
    done
    echo "No virtual display started:" >&2
    cat "$root/server.log" >&2
    return 1
}

show_window() {
    "$@" >"$HOME/program.log" 2>&1 &
    program=$!
    tries=0
    until xwininfo -root -tree 2>/dev/null | grep -q "\"Berthwatch\""; do
        tries=$((tries + 1))
        if [ "$tries" -ge 300 ] || ! kill -0 "$program" 2>/dev/null; then
            echo "The window did not appear:" >&2
            cat "$HOME/program.log" >&2
            kill "$program" 2>/dev/null
            return 1
        fi
        sleep 0.1
    done
    echo "The window appeared after about $((tries / 10)) s."
    kill -TERM "$program"
    wait "$program" 2>/dev/null
    return 0
}

status=1
if start_server; then
    show_window "$@"
    status=$?
    kill "$server"
    wait "$server" 2>/dev/null
fi
rm -rf "$root"
exit "$status"
