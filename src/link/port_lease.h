#pragma once
// The one owner of the timer's port: a lease opens it for the length of one operation and
// gives it back on every way out, an exception included, because the timer is shared
// with the unattended job and, across the network, with other PCs. A lease taken while
// another holds the same port uses that opening, so an operation made of operations
// (upkeep's download inside Apply now) connects once; one on another port moves the
// opening there.
#include <QString>

namespace zmr {

class TimerLink;

class PortLease {
 public:
  // Opens `name` ("COM<n>", a device path or a network address), both buffers purged,
  // unless an enclosing lease holds it open already. Throws PortError when the open
  // fails; nothing is held then.
  PortLease(TimerLink& link, const QString& name);
  ~PortLease();
  PortLease(const PortLease&) = delete;
  PortLease& operator=(const PortLease&) = delete;

 private:
  TimerLink& link_;
};

}  // namespace zmr
