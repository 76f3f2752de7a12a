#pragma once
// The timer link: the one port, the shared payload buffer and the last good status,
// with the framed request/reply exchange. Who holds the port open is a PortLease's
// business (link/port_lease.h).
#include <array>
#include <cstdint>

#include "base/clock.h"
#include "link/packet.h"
#include "link/serial_port.h"

namespace zmr {

// The seven requests the timer understands; each is a capital letter on the line.
enum class TimerCommand : std::uint8_t {
  LinkCheck = 'L',
  StatusQuery = 'G',
  ClockSet = 'U',
  ScheduleWrite = 'W',
  ActivateCmd = 'E',
  DeactivateCmd = 'D',
  OutputTest = 'T',
};

inline constexpr int kLinkDataSize = 256;
inline constexpr int kUnitStatusSize = 27;
// Reply payload bytes 0..32 are zeroed before a reply payload is stored.
inline constexpr int kClearedBeforeReply = 33;

// Timing of one exchange, in milliseconds.
inline constexpr int kPauseAfterWriteMs = 100;
inline constexpr int kFirstByteTimeoutMs = 300;
inline constexpr int kHeaderBytePauseMs = 1;
// A payload or checksum byte not there yet is waited for this long (a byte takes
// about 1.04 ms at 9600 bit/s), then the reply counts as incomplete.
inline constexpr int kInterByteTimeoutMs = 50;
// The whole reply, from its first byte on, may take at most twice its line time at
// 9600 bit/s plus this margin, so a reply that trickles in cannot hold the window for
// seconds: a 255-byte reply gets about 0.6 s.
inline constexpr int kReplyMarginMs = 50;
inline constexpr int kLineBitsPerByte = 10;
inline constexpr int kLineBitsPerSecond = 9600;
constexpr std::int64_t ReplyBudgetMs(int payload_length) {
  const std::int64_t line_bits = static_cast<std::int64_t>(kHeaderSize + 1 + payload_length) * kLineBitsPerByte;
  return kReplyMarginMs + (2 * line_bits * 1000 + kLineBitsPerSecond - 1) / kLineBitsPerSecond;
}
inline constexpr int kPreamblePauseMs = 300;

// unit_status offsets (a copy of the good StatusReply in the order the console uses).
namespace unit_status_at {
inline constexpr int kYear = 0, kMonth = 1, kDay = 2, kWeekday = 3, kHour = 4, kMinute = 5,
                     kSecond = 6, kActivation = 7, kFirmwareMajor = 8, kFirmwareMinor = 9,
                     kStatusByte = 10, kSerial = 11, kProductCode = 19;
}

class TimerLink {
 public:
  // The link does not own the port: the main window does, and closes it when it goes.
  TimerLink(SerialPort& port, Clock& clock) : port_(port), clock_(clock) {}

  std::array<std::uint8_t, kLinkDataSize> link_data{};
  std::array<std::uint8_t, kUnitStatusSize> unit_status{};
  // One request (payload: link_data[0..length-1]) and its checked reply: true only for a
  // complete reply with start byte, echoed command and right checksum; its payload then
  // stands in link_data from byte 0. Port failures pass through as PortError; the port is
  // closed first, so the next operation opens it afresh (a device that went away and
  // came back works again without the options dialog).
  bool Transact(TimerCommand command, std::uint8_t value, std::uint8_t length);
  // Before each request: a port whose device went away and came back (or another one
  // stands in its place) is closed and opened again on the name its lease opened, so
  // the request goes out once, to the device that is there now. A device that is not
  // back gives the open's PortError.
  void ReopenIfDeviceLost();
  // LinkCheck with its result ignored, then 300 ms.
  void LinkPreamble();
  // StatusQuery; on success the reply is copied into unit_status, else it is left alone.
  bool QueryStatus();
  // The payload length the last complete reply announced (0 before any).
  std::uint8_t replyLength() const { return reply_length_; }

  SerialPort& port() { return port_; }
  Clock& clock() { return clock_; }

 private:
  bool awaitFirstByte(std::uint8_t& byte);
  bool readPayloadByte(std::uint8_t& byte, std::int64_t deadline);
  bool exchange(std::uint8_t code, std::uint8_t value, std::uint8_t length);
  std::uint8_t readHeaderByte();

  friend class PortLease;
  // What the leases hold: the name opened and how many leases share that opening.
  struct Holding {
    QString name;
    int leases = 0;
  };

  SerialPort& port_;
  Clock& clock_;
  Holding holding_;
  std::uint8_t reply_length_ = 0;
};

}  // namespace zmr
