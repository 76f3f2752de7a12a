#pragma once
// A port named so that it leads to the same timer for anyone on this PC, a service
// included: COM<n> is a name only this user's settings and environment give meaning to
// (ZMR_COM<n>, the mapping file, the order of the adapters plugged in today).
#include <QString>

namespace zmr {

struct StandAlonePort {
  QString port;     // "/dev/serial/by-id/usb-FTDI_…-port0", "rfc2217://10.0.4.20:2217", "/dev/ttyS0"
  QString problem;  // why the name leads nowhere; empty when port is set
};

// What `name` leads to here: a network address in its canonical text, else the device's
// /dev/serial/by-id name when it has one, else the device path as the mapping gives it.
StandAlonePort StandAlonePortOf(const QString& name);

}  // namespace zmr
