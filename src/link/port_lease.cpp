#include "link/port_lease.h"

#include <cerrno>

#include "link/port_error.h"
#include "link/serial_port.h"
#include "link/timer_link.h"

namespace zmr {

PortLease::PortLease(TimerLink& link, const QString& name) : link_(link) {
  TimerLink::Holding& held = link_.holding_;
  SerialPort& port = link_.port();
  if (held.leases > 0 && held.name == name && port.isOpen()) {
    ++held.leases;
    return;
  }
  if (port.isOpen()) port.close();
  held.name = name;
  port.open(name);
  if (!port.isOpen()) {
    throw PortError(PortStep::Open, PortCause::OsError, name.toStdString(), {}, EIO);
  }
  port.purge(true, true);
  ++held.leases;
}

PortLease::~PortLease() {
  TimerLink::Holding& held = link_.holding_;
  if (--held.leases > 0) return;
  held.leases = 0;
  if (link_.port().isOpen()) link_.port().close();
}

}  // namespace zmr
