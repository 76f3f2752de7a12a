#pragma once
// The console's own small serial-port interface. Every primitive failure throws
// PortError with its cause.
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include <QString>

#include "link/port_error.h"

namespace zmr {

// A write may take this long per byte plus this much per write before it counts as timed out.
inline constexpr int kWriteMsPerByte = 100;
inline constexpr int kWriteMsPerWrite = 1000;

class SerialPort {
 public:
  virtual ~SerialPort() = default;
  // Opens "COM<n>" (mapped by PortDevice) exclusively at 9600 8N1, no flow control,
  // DTR and RTS inactive. Throws PortError (PortStep::Open, or Settings when the line cannot be set).
  virtual void open(const QString& name) = 0;
  virtual void close() = 0;
  virtual bool isOpen() const = 0;
  virtual void purge(bool input, bool output) = 0;
  // Sends the whole buffer in one write; returns the count written (a time-out is not an error).
  virtual std::size_t write(std::span<const std::uint8_t> bytes) = 0;
  // Returns at once with at most max bytes that have already arrived (possibly none).
  virtual std::vector<std::uint8_t> read(std::size_t max) = 0;
  // Blocks until a byte can be read or ms pass; true when one can be read. Lets a
  // caller wait without spinning.
  virtual bool waitReadable(int ms) = 0;
  // True when the open port no longer leads to the device it was opened on: the line
  // hung up, its node is gone, or another device stands at its path now (an adapter
  // pulled and plugged in again, a restarted simulator, a dropped connection). The link
  // then opens the port afresh before its next request. Never throws.
  virtual bool lostDevice() const { return false; }
};

// The QSerialPort implementation.
std::unique_ptr<SerialPort> MakeQtSerialPort();
// The port the programs use: each open goes to the QSerialPort implementation, or to the
// network one when the name leads to a network address (network_address.h).
std::unique_ptr<SerialPort> MakePort();

}  // namespace zmr
