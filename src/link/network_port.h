#pragma once
// The SerialPort for rfc2217:// and tcp:// port names, and what its failures carry.
#include <cerrno>
#include <memory>

#include "link/serial_port.h"

namespace zmr {

// Connecting (name lookup aside, which the system resolver bounds) and the server's
// answer to the Com Port option are each waited for at most this long.
inline constexpr int kNetworkConnectTimeoutMs = 3000;
// The OS numbers network failures carry: an unknown host has no errno of its own, and a
// server without Com Port Control is reported as not supporting the protocol.
inline constexpr int kHostNotFound = ENXIO;
inline constexpr int kComPortRefused = EPROTONOSUPPORT;

// Opens a port name that leads to a network address (itself, or COM<n> mapped to one).
std::unique_ptr<SerialPort> MakeNetworkPort();

}  // namespace zmr
