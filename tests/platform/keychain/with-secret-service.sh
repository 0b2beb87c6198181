#!/bin/sh
# Runs a test program inside a private D-Bus session whose Secret Service is a fresh
# gnome-keyring-daemon with an unlocked login keyring, under its own HOME and XDG_RUNTIME_DIR.
# Everything is removed afterwards; the user's own keyring is never touched.
set -u

# Listing the tests needs no keyring.
for argument in "$@"; do
    [ "$argument" = "--gtest_list_tests" ] && exec "$@"
done

root=$(mktemp -d "${TMPDIR:-/tmp}/bw-keyring.XXXXXX") || exit 1
trap 'rm -rf "$root"' EXIT
mkdir -m 700 "$root/home" "$root/run"
export HOME="$root/home" XDG_RUNTIME_DIR="$root/run" BW_TEST_SECRET_SERVICE=1
unset DISPLAY WAYLAND_DISPLAY XDG_DATA_HOME XDG_CONFIG_HOME XDG_CACHE_HOME DBUS_SESSION_BUS_ADDRESS

dbus-run-session -- sh -c '
    printf test | gnome-keyring-daemon --foreground --unlock --components=secrets \
        >/dev/null 2>"$HOME/keyring.log" &
    daemon=$!
    # Wait for the daemon to own the Secret Service name, or D-Bus activation would start a
    # second one without an unlocked keyring.
    tries=0
    until dbus-send --session --print-reply --dest=org.freedesktop.DBus / \
            org.freedesktop.DBus.NameHasOwner string:org.freedesktop.secrets 2>/dev/null |
            grep -q "boolean true"; do
        tries=$((tries + 1))
        if [ "$tries" -ge 200 ] || ! kill -0 "$daemon" 2>/dev/null; then
            echo "gnome-keyring-daemon did not start:" >&2
            cat "$HOME/keyring.log" >&2
            exit 1
        fi
        sleep 0.05
    done
    "$@"
    status=$?
    kill "$daemon" 2>/dev/null
    wait "$daemon" 2>/dev/null
    exit "$status"
' sh "$@"
