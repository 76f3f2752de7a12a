// A port failure's words: the message with its error code and the advice line, for every
// cause, from the cause and its details alone.
#include <gtest/gtest.h>

#include <cerrno>

#include "link/port_error.h"

namespace zmr {
namespace {

TEST(PortErrorWords, EachCauseGivesItsMessageCodeAndAdvice) {
  struct Case {
    PortError error;
    std::string what;
    QString hint;
  };
  const auto code = [](const char* message, int number) {
    return std::string(message) + " (win error code: " + std::to_string(number) + ")";
  };
  const std::vector<Case> cases = {
      {PortError(PortStep::Open, PortCause::NotAllowed, "COM1", "/dev/ttyUSB0", EACCES),
       code("Unable to open com port", EACCES),
       "You may not use /dev/ttyUSB0: only members of the dialout group may. Add yourself with "
       "\"sudo usermod -aG dialout alice\", then log out and back in."},
      {PortError(PortStep::Open, PortCause::NotAllowed, "COM1", {}, EPERM), code("Unable to open com port", EPERM),
       "You may not use this port: only members of the dialout group may. Add yourself with "
       "\"sudo usermod -aG dialout alice\", then log out and back in."},
      {PortError(PortStep::Open, PortCause::Busy, "COM1", "/dev/ttyUSB0", EBUSY), code("Unable to open com port", EBUSY),
       "Another program is using /dev/ttyUSB0. Close it, then try again."},
      {PortError(PortStep::Open, PortCause::NoDevice, "COM2", "/dev/ttyUSB1", ENOENT),
       code("Unable to open com port", ENOENT),
       "/dev/ttyUSB1 is not there: the adapter may be unplugged. Plug it in, or choose another port."},
      {PortError(PortStep::Open, PortCause::NoDevice, "COM3"), code("Unable to open com port", ENOENT),
       "COM3 leads to no device on this PC. Plug in the USB serial adapter, or choose another port."},
      {PortError(PortStep::Read, PortCause::NoDevice, {}, {}, ENXIO), code("ReadFile function failed", ENXIO),
       "The port's device is gone: the adapter may be unplugged. Plug it in, then try again."},
      {PortError(PortStep::Write, PortCause::OsError, "COM1", "/dev/ttyUSB0", EIO), code("WriteFile function failed", EIO),
       ""},
      {PortError(PortStep::Settings, PortCause::OsError, "COM1", "/dev/null", ENOTTY),
       code("SetCommState function failed", ENOTTY), ""},
      {PortError(PortStep::Purge, PortCause::NotOpen), code("PurgeComm function failed", EBADF), ""},
      // Across the network: the host and port, and what to check there.
      {PortError(PortStep::Open, PortCause::Refused, "COM3", "rfc2217://10.0.4.20:2217"),
       code("Unable to open com port", ECONNREFUSED),
       "Nothing accepts connections at 10.0.4.20 port 2217. Check that ser2net or the device server runs there "
       "and listens on that port."},
      {PortError(PortStep::Open, PortCause::UnknownHost, "COM3", "tcp://timer-hall.example:4001"),
       code("Unable to open com port", ENXIO),
       "The host name timer-hall.example is not known. Check the spelling of the address and that this PC can "
       "look up names on the network (DNS)."},
      {PortError(PortStep::Open, PortCause::TimedOut, "COM3", "rfc2217://[fd00::20]:2217"),
       code("Unable to open com port", ETIMEDOUT),
       "[fd00::20] port 2217 did not answer within 3 seconds. Check that the host is switched on and reachable "
       "from this PC, and that no firewall blocks the port."},
      {PortError(PortStep::Open, PortCause::Unreachable, "COM3", "tcp://10.0.4.20:4001"),
       code("Unable to open com port", ENETUNREACH),
       "10.0.4.20 port 4001 cannot be reached from this PC. Check the network connection and the address."},
      {PortError(PortStep::Read, PortCause::Lost, "COM3", "tcp://10.0.4.20:4001"),
       code("ReadFile function failed", ECONNRESET),
       "The connection to 10.0.4.20 port 4001 was lost. Check the network and that the server still runs; the "
       "next request connects again."},
      {PortError(PortStep::Settings, PortCause::NoPortControl, "COM3", "rfc2217://10.0.4.20:2217"),
       code("SetCommState function failed", EPROTONOSUPPORT),
       "10.0.4.20 port 2217 does not offer RFC 2217 port control. Turn it on in the server (ser2net: remctl, or "
       "telnet(rfc2217) in its YAML accepter), or use tcp://10.0.4.20:2217 when the server's line is set to 9600 "
       "8N1."},
      {PortError(PortStep::Open, PortCause::BadAddress, "COM3", "rfc2217://10.0.4.20"),
       code("Unable to open com port", EINVAL),
       "The address needs a port number: Give the address as rfc2217://HOST:PORT or tcp://HOST:PORT "
       "(rfc2217+tls:// or tcp+tls:// over TLS)."},
      {PortError(PortStep::Open, PortCause::OsError, "COM3", "tcp://10.0.4.20:4001", EACCES),
       code("Unable to open com port", EACCES), ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.error.what(), c.what);
    EXPECT_EQ(PortErrorHint(c.error, "alice", "dialout"), c.hint) << c.error.what();
    EXPECT_EQ(c.error.busy(), c.error.cause() == PortCause::Busy) << c.error.what();
  }
}

TEST(PortErrorWords, TheAdviceFollowsTheMessageOnItsOwnLine) {
  const PortError busy(PortStep::Open, PortCause::Busy, "COM1", "/dev/ttyUSB0", EBUSY);
  EXPECT_TRUE(busy.busy());
  EXPECT_EQ(PortErrorText(busy),
            "Unable to open com port (win error code: 16)\n"
            "Another program is using /dev/ttyUSB0. Close it, then try again.");
  EXPECT_EQ(PortErrorText(PortError(PortStep::Read, PortCause::OsError, {}, {}, EIO)),
            "ReadFile function failed (win error code: 5)");
  EXPECT_EQ(PortErrorText(PortError(PortStep::Open, PortCause::Refused, "COM3", "tcp://127.0.0.1:9")),
            QString("Unable to open com port (win error code: %1)\nNothing accepts connections at 127.0.0.1 "
                    "port 9. Check that ser2net or the device server runs there and listens on that port.")
                .arg(ECONNREFUSED));
  EXPECT_EQ(DeviceGroup(""), "dialout");
  EXPECT_FALSE(CurrentUserName().isEmpty());
}

}  // namespace
}  // namespace zmr
