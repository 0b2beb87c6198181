#pragma once

namespace bw {

// Without a session bus to reach, GLib and libdbus start one of their own on first use
// (dbus-launch, a dbus-daemon and, through it, a keyring daemon), and those outlive the program.
// Called first thing in main(): when no bus is there, every library is pointed at an address none
// of them connects to, so no session bus means no keychain, and nothing is left running.
void refuseSessionBusAutolaunch();

} // namespace bw
