// The one port object of a program: a serial device or a timer across the network,
// decided anew at each open by where the name leads.
#include "link/network_port.h"
#include "link/port_names.h"
#include "link/serial_port.h"

namespace zmr {
namespace {

class RoutedPort final : public SerialPort {
 public:
  void open(const QString& name) override {
    SerialPort& next = LeadsAcrossNetwork(name) ? *network_ : *serial_;
    if (current_ != &next) current_->close();
    current_ = &next;
    current_->open(name);
  }
  void close() override { current_->close(); }
  bool isOpen() const override { return current_->isOpen(); }
  void purge(bool input, bool output) override { current_->purge(input, output); }
  std::size_t write(std::span<const std::uint8_t> bytes) override { return current_->write(bytes); }
  std::vector<std::uint8_t> read(std::size_t max) override { return current_->read(max); }
  bool waitReadable(int ms) override { return current_->waitReadable(ms); }
  bool lostDevice() const override { return current_->lostDevice(); }

 private:
  std::unique_ptr<SerialPort> serial_ = MakeQtSerialPort();
  std::unique_ptr<SerialPort> network_ = MakeNetworkPort();
  SerialPort* current_ = serial_.get();
};

}  // namespace

std::unique_ptr<SerialPort> MakePort() { return std::make_unique<RoutedPort>(); }

}  // namespace zmr
