#pragma once
// The SerialPort for rfc2217:// and tcp:// port names.
#include <memory>

#include "link/serial_port.h"

namespace zmr {

// Connecting (name lookup aside, which the system resolver bounds) and the server's
// answer to the Com Port option are each waited for at most this long.
inline constexpr int kNetworkConnectTimeoutMs = 3000;

// Opens a port name that leads to a network address (itself, or COM<n> mapped to one).
std::unique_ptr<SerialPort> MakeNetworkPort();

}  // namespace zmr
