#pragma once
// Whether a port failed because another program holds it: the one question a job that may
// wait for the port asks of a PortError.
#include "base/errors.h"

namespace zmr {

// The serial port says EBUSY for a lock file or the device's exclusive mode, after it made
// sure the device itself may be used (no access at all is EACCES, and waiting would not
// mend that).
bool PortHeldElsewhere(const PortError& error);

}  // namespace zmr
