#include "link/port_names.h"

#include <QRegularExpression>

namespace zmr {

QString PortDevice(const QString& name) {
  static const QRegularExpression kComName(QStringLiteral("^COM([0-9]+)$"));
  const auto match = kComName.match(name);
  if (!match.hasMatch()) {
    return name;
  }
  const QByteArray override_path = qgetenv(("ZMR_" + name).toLatin1().constData());
  if (!override_path.isEmpty()) {
    return QString::fromLocal8Bit(override_path);
  }
#ifdef Q_OS_WIN
  return name;
#else
  // COM1 is the first port, ttyS0; a COM0 maps to a name no device has.
  const int n = match.captured(1).toInt();
  return QStringLiteral("/dev/ttyS%1").arg(n - 1);
#endif
}

QString PortName(int n) { return QStringLiteral("COM%1").arg(n); }

}  // namespace zmr
