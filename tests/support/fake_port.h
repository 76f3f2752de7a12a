#pragma once
// A SerialPort whose far ends are scripted devices on a FakeClock. Each port name
// ("COM1", ...) may have a device; opening a name without one fails as a missing
// device does. A device answers each write with bytes that arrive after given delays;
// waitReadable() moves the clock to the next arrival, so waits cost no real time.
#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <vector>

#include <QString>

#include "link/serial_port.h"
#include "support/fake_clock.h"

namespace zmr::testing {

// Bytes that reach the port at_ms after the request was written.
struct Arrival {
  std::int64_t at_ms;
  std::vector<std::uint8_t> bytes;
};

// Called with every whole write; returns what comes back.
using Device = std::function<std::vector<Arrival>(std::span<const std::uint8_t> request)>;

// A device that never answers.
Device SilentDevice();
// A device that answers every request with the same bytes after at_ms.
Device FixedReplyDevice(std::vector<std::uint8_t> reply, std::int64_t at_ms = 0);
// Replies that arrive one byte each ms_per_byte apart, starting at at_ms.
std::vector<Arrival> Paced(const std::vector<std::uint8_t>& bytes, std::int64_t at_ms,
                           std::int64_t ms_per_byte);

class FakePort : public SerialPort {
 public:
  explicit FakePort(FakeClock& clock) : clock_(clock) {}

  void attach(const QString& name, Device device) { devices_[name] = std::move(device); }
  // The device goes away (an adapter pulled): the name no longer opens, and an open port
  // on it fails every primitive with EIO until it is closed.
  void unplug(const QString& name);

  // What happened, in order: "open COM1", "close", "purge in out", "write 5".
  std::vector<std::string> events;
  std::vector<std::vector<std::uint8_t>> writes;  // every request, whole
  QString openName() const { return open_name_; }

  void open(const QString& name) override;
  void close() override;
  bool isOpen() const override { return !open_name_.isEmpty(); }
  void purge(bool input, bool output) override;
  std::size_t write(std::span<const std::uint8_t> bytes) override;
  std::vector<std::uint8_t> read(std::size_t max) override;
  bool waitReadable(int ms) override;
  // An unplugged device, whether or not it was attached again since.
  bool lostDevice() const override { return isOpen() && broken_; }

 private:
  struct Pending {
    std::int64_t at;
    std::uint8_t byte;
  };
  void requireOpen(PortStep step) const;

  FakeClock& clock_;
  std::map<QString, Device> devices_;
  QString open_name_;
  bool broken_ = false;
  std::vector<Pending> pending_;  // in arrival order
};

}  // namespace zmr::testing
