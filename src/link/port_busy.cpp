#include "link/port_busy.h"

#include <cerrno>

namespace zmr {

bool PortHeldElsewhere(const PortError& error) { return error.osError() == EBUSY; }

}  // namespace zmr
