#include "link/port_hint.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>

namespace zmr {

QString PortErrorHint(const PortError& error, const QString& user, const QString& group) {
  const QString device = QString::fromStdString(error.device());
  const QString port = QString::fromStdString(error.port());
  switch (error.osError()) {
    case EACCES:
    case EPERM:
      return QStringLiteral(
                 "You may not use %1: only members of the %2 group may. Add yourself with "
                 "\"sudo usermod -aG %2 %3\", then log out and back in.")
          .arg(device.isEmpty() ? QStringLiteral("this port") : device, group, user);
    case EBUSY:
      return QStringLiteral("Another program is using %1. Close it, then try again.")
          .arg(device.isEmpty() ? QStringLiteral("this port") : device);
    case ENOENT:
    case ENODEV:
    case ENXIO:
      if (device.isEmpty() && port.isEmpty()) {
        return QStringLiteral("The port's device is gone: the adapter may be unplugged. Plug it in, then try again.");
      }
      if (device.isEmpty()) {
        return QStringLiteral(
                   "%1 leads to no device on this PC. Plug in the USB serial adapter, or choose "
                   "another port.")
            .arg(port.isEmpty() ? QStringLiteral("This port") : port);
      }
      return QStringLiteral("%1 is not there: the adapter may be unplugged. Plug it in, or choose another port.")
          .arg(device);
    default:
      return {};
  }
}

QString PortErrorText(const PortError& error) {
  QString text = QString::fromStdString(WithFullStop(error.what()));
  const QString hint =
      PortErrorHint(error, CurrentUserName(), DeviceGroup(QString::fromStdString(error.device())));
  if (!hint.isEmpty()) {
    text += '\n' + hint;
  }
  return text;
}

QString CurrentUserName() {
  const QString user = qEnvironmentVariable("USER");
  if (!user.isEmpty()) {
    return user;
  }
  if (const passwd* pw = ::getpwuid(::geteuid())) {
    return QString::fromLocal8Bit(pw->pw_name);
  }
  return QStringLiteral("$USER");
}

QString DeviceGroup(const QString& device) {
  struct stat st {};
  if (!device.isEmpty() && ::stat(QFile::encodeName(device).constData(), &st) == 0 && st.st_gid != 0) {
    if (const group* gr = ::getgrgid(st.st_gid)) {
      return QString::fromLocal8Bit(gr->gr_name);
    }
  }
  return QStringLiteral("dialout");
}

}  // namespace zmr
