#pragma once
// systemd as a test wants it to answer: whether it runs, what is-enabled says, the
// properties `systemctl show` gives per unit, and how enabling ends; every question kept.
#include <QStringList>
#include <map>

#include "plan/upkeep_job.h"

namespace zmr::testing {

class ScriptedSystemd : public ServiceQuery {
 public:
  explicit ScriptedSystemd(ServiceAnswer enabled_answer = {true, 1, "disabled"}) : enabled(std::move(enabled_answer)) {}
  bool running() const override { return runs; }
  ServiceAnswer isEnabled(const QString& unit) const override {
    asked << "is-enabled " + unit;
    return enabled;
  }
  std::map<QString, QString> show(const QString& unit, const QStringList& properties) const override {
    asked << "show " + unit + " " + properties.join(',');
    const auto found = shown.find(unit);
    return found == shown.end() ? std::map<QString, QString>{} : found->second;
  }
  ServiceAnswer enableNow(const QString& unit, bool reload) const override {
    asked << QString(reload ? "daemon-reload, " : "") + "enable --now " + unit;
    return enable_answer;
  }

  bool runs = true;
  ServiceAnswer enabled;
  std::map<QString, std::map<QString, QString>> shown;  // unit -> property -> value
  ServiceAnswer enable_answer{true, 0, "Created symlink /etc/systemd/system/timers.target.wants/..."};
  mutable QStringList asked;
};

}  // namespace zmr::testing
