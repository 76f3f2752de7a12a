#pragma once
#include <QString>

namespace zmr {

// "COM<n>" -> device: the environment variable ZMR_COM<n> when set, else /dev/ttyS<n-1>
// on Linux and COM<n> on Windows. Any other name is taken as a device path.
QString PortDevice(const QString& name);
// "COM" + n, decimal, no leading zero.
QString PortName(int n);

}  // namespace zmr
