#pragma once
// The timer link: the one port, its opened flag, the shared payload buffer and the
// last good status, with the framed request/reply exchange.
#include <array>
#include <cstdint>

#include "base/clock.h"
#include "link/serial_port.h"

namespace zmr {

enum class TimerCommand : std::uint8_t {
  LinkCheck = 'L',
  StatusQuery = 'G',
  ClockSet = 'U',
  ScheduleWrite = 'W',
  ActivateCmd = 'E',
  DeactivateCmd = 'D',
  OutputTest = 'T',
};

inline constexpr std::uint8_t kStartByte = 0xE2;
inline constexpr int kLinkDataSize = 256;
inline constexpr int kUnitStatusSize = 27;

class TimerLink {
 public:
  TimerLink(SerialPort& port, Clock& clock) : port_(port), clock_(clock) {}

  std::array<std::uint8_t, kLinkDataSize> link_data{};
  std::array<std::uint8_t, kUnitStatusSize> unit_status{};
  bool port_opened = false;

  // (Re)opens "COM<n>"; true when open afterwards. Throws PortError when the open fails.
  bool OpenPort(std::uint8_t n);
  // Opens com_port once; a later call does nothing until port_opened is cleared.
  void EnsurePortOpen(std::uint16_t com_port);
  // One request (payload: link_data[0..length-1]) and its checked reply.
  bool Transact(TimerCommand command, std::uint8_t value, std::uint8_t length);
  // LinkCheck with its result ignored, then 300 ms.
  void LinkPreamble();
  // StatusQuery; on success the reply is copied into unit_status.
  bool QueryStatus();

  SerialPort& port() { return port_; }
  Clock& clock() { return clock_; }

 private:
  SerialPort& port_;
  Clock& clock_;
};

}  // namespace zmr
