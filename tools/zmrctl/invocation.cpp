#include <QByteArray>

#include "link/network_address.h"
#include "link/port_map.h"
#include "link/port_names.h"
#include "project/project_file.h"
#include "zmrctl/command.h"

namespace zmr::ctl {

void Invocation::loadSettings() {
  settings_folder = options.settings_folder ? *options.settings_folder : env.program_folder;
  if (!settings_folder.isEmpty() && !settings_folder.endsWith('/')) settings_folder += '/';
  LoadSettings(settings, settings_folder);
  UsePortMapFolder(SettingsFolder(settings_folder));  // COMn mapped across the network
}

std::optional<std::uint16_t> Invocation::portNumber() {
  if (!options.port) return settings.com_port;
  const QString& p = *options.port;
  if (p.startsWith(QStringLiteral("COM"), Qt::CaseInsensitive)) {
    const std::optional<int> n = ComNumberOf(p);
    if (n && *n <= kMaxMappedPort) return static_cast<std::uint16_t>(*n);
    env.err << "zmrctl: bad port " << p.toStdString() << '\n';
    return std::nullopt;
  }
  if (IsNetworkPortName(p)) {
    const ParsedAddress parsed = ParseNetworkAddress(p);
    if (!parsed.address) {
      env.err << "zmrctl: bad port " << p.toStdString() << ": " << parsed.problem.toStdString() << '\n';
      return std::nullopt;
    }
    qputenv("ZMR_COM1", parsed.address->text().toLocal8Bit());
    return 1;
  }
  qputenv("ZMR_COM1", p.toLocal8Bit());
  return 1;
}

TimerLink& Invocation::link() {
  if (!link_) {
    port_ = env.make_port();
    link_ = std::make_unique<TimerLink>(*port_, env.clock);
  }
  return *link_;
}

int Invocation::usageError(const std::string& what) {
  env.err << "zmrctl: " << what << '\n';
  return kExitUsage;
}

std::unique_ptr<ProjectSetup> Invocation::readProject(const QString& path) {
  auto project = std::make_unique<ProjectSetup>();
  if (ReadProjectFile(path, *project, prompts) != OpenOutcome::Opened) return nullptr;
  return project;
}

}  // namespace zmr::ctl
