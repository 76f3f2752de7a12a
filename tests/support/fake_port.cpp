#include "support/fake_port.h"

#include <algorithm>
#include <cerrno>

#include "link/port_error.h"

namespace zmr::testing {

Device SilentDevice() {
  return [](std::span<const std::uint8_t>) { return std::vector<Arrival>{}; };
}

Device FixedReplyDevice(std::vector<std::uint8_t> reply, std::int64_t at_ms) {
  return [reply = std::move(reply), at_ms](std::span<const std::uint8_t>) {
    return std::vector<Arrival>{{at_ms, reply}};
  };
}

std::vector<Arrival> Paced(const std::vector<std::uint8_t>& bytes, std::int64_t at_ms,
                           std::int64_t ms_per_byte) {
  std::vector<Arrival> arrivals;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    arrivals.push_back({at_ms + static_cast<std::int64_t>(i) * ms_per_byte, {bytes[i]}});
  }
  return arrivals;
}

void FakePort::open(const QString& name) {
  close();
  events.push_back("open " + name.toStdString());
  if (!devices_.contains(name)) {
    throw PortError(PortStep::Open, PortCause::NoDevice, name.toStdString());  // leads to no device
  }
  open_name_ = name;
}

void FakePort::close() {
  if (isOpen()) {
    events.emplace_back("close");
    open_name_.clear();
    pending_.clear();
  }
  broken_ = false;
}

void FakePort::unplug(const QString& name) {
  devices_.erase(name);
  broken_ = broken_ || open_name_ == name;
}

void FakePort::requireOpen(PortStep step) const {
  if (!isOpen()) {
    throw PortError(step, PortCause::NotOpen);
  }
  if (broken_) {
    throw PortError(step, PortCause::OsError);
  }
}

void FakePort::purge(bool input, bool output) {
  requireOpen(PortStep::Purge);
  events.push_back(std::string("purge") + (input ? " in" : "") + (output ? " out" : ""));
  if (input) {
    // Only bytes already received are dropped; bytes still on the line arrive later.
    const auto now = clock_.tickMs();
    std::erase_if(pending_, [now](const Pending& p) { return p.at <= now; });
  }
}

std::size_t FakePort::write(std::span<const std::uint8_t> bytes) {
  requireOpen(PortStep::Write);
  events.push_back("write " + std::to_string(bytes.size()));
  writes.emplace_back(bytes.begin(), bytes.end());
  const auto now = clock_.tickMs();
  for (const Arrival& arrival : devices_.at(open_name_)(bytes)) {
    for (std::uint8_t byte : arrival.bytes) {
      pending_.push_back({now + arrival.at_ms, byte});
    }
  }
  std::stable_sort(pending_.begin(), pending_.end(),
                   [](const Pending& a, const Pending& b) { return a.at < b.at; });
  return bytes.size();
}

std::vector<std::uint8_t> FakePort::read(std::size_t max) {
  requireOpen(PortStep::Read);
  std::vector<std::uint8_t> got;
  const auto now = clock_.tickMs();
  while (got.size() < max && !pending_.empty() && pending_.front().at <= now) {
    got.push_back(pending_.front().byte);
    pending_.erase(pending_.begin());
  }
  return got;
}

bool FakePort::waitReadable(int ms) {
  requireOpen(PortStep::Read);
  const auto now = clock_.tickMs();
  if (!pending_.empty() && pending_.front().at <= now + ms) {
    clock_.advance(std::max<std::int64_t>(0, pending_.front().at - now));
    return true;
  }
  clock_.advance(ms);
  return false;
}

}  // namespace zmr::testing
