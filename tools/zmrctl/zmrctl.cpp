#include "zmrctl/zmrctl.h"

#include <optional>

#include "base/errors.h"
#include "link/port_error.h"
#include "zmrctl/command.h"

namespace zmr::ctl {
namespace {

std::optional<Options> Parse(const QStringList& args, std::ostream& err) {
  Options o;
  for (qsizetype i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    // Every option that takes a value takes it here: a missing one, or the next option
    // standing in its place, is a usage error (never a folder named "--date").
    auto value = [&]() -> std::optional<QString> {
      if (i + 1 >= args.size() || args[i + 1].startsWith(QStringLiteral("--"))) {
        err << "zmrctl: " << a.toStdString() << " needs a value\n";
        return std::nullopt;
      }
      return args[++i];
    };
    if (a == "-h" || a == "--help") {
      o.help = true;
    } else if (a == "--port") {
      if (!(o.port = value())) return std::nullopt;
    } else if (a == "--settings") {
      if (!(o.settings_folder = value())) return std::nullopt;
    } else if (a == "--pdf") {
      if (!(o.pdf = value())) return std::nullopt;
    } else if (a == "--list") {
      o.list = true;
    } else if (a == "--state") {
      if (!(o.state = value())) return std::nullopt;
    } else if (a == "--date" || a == "--from") {
      const std::optional<QString> text = value();
      if (!text) return std::nullopt;
      o.date = QDate::fromString(*text, Qt::ISODate);
      if (!o.date->isValid()) {
        err << "zmrctl: " << a.toStdString() << " takes a date YYYY-MM-DD, not " << text->toStdString() << '\n';
        return std::nullopt;
      }
    } else if (a == "--days") {
      const std::optional<QString> text = value();
      if (!text) return std::nullopt;
      bool ok = false;
      o.days = text->toInt(&ok);
      if (!ok || o.days < 1 || o.days > kMaxPlanDays) {
        err << "zmrctl: --days takes 1 to " << kMaxPlanDays << '\n';
        return std::nullopt;
      }
    } else if (a == "--dry-run") {
      o.dry_run = true;
    } else if (a == "--last") {
      o.last = true;
    } else if (a == "--trust-clock") {
      o.trust_clock = true;
    } else if (a == "--root") {
      if (!(o.root = value())) return std::nullopt;
    } else if (a == "--name") {
      if (!(o.name = value())) return std::nullopt;
    } else if (a == "--map") {
      if (!(o.map = value())) return std::nullopt;
    } else if (a == "--unmap") {
      if (!(o.unmap = value())) return std::nullopt;
    } else if (a == "--ca") {
      if (!(o.ca = value())) return std::nullopt;
    } else if (a == "--cert") {
      if (!(o.cert = value())) return std::nullopt;
    } else if (a == "--key") {
      if (!(o.key = value())) return std::nullopt;
    } else if (a == "--clear") {
      o.clear = true;
    } else if (a == "--activate") {
      o.activate = true;
    } else if (a == "--save") {
      o.save = true;
    } else if (a == "--new") {
      o.create_new = true;
    } else if (a.startsWith('-')) {
      err << "zmrctl: unknown option " << a.toStdString() << '\n';
      return std::nullopt;
    } else if (o.command.isEmpty()) {
      o.command = a;
    } else {
      o.operands << a;
    }
  }
  return o;
}

// What a command needs before it runs: nothing but its operands, the settings, or the
// settings and a checked port.
enum class Needs { Operands, Settings, Port };

struct Command {
  const char* name;
  Needs needs;
  int (*run)(Invocation&);
  int (*run_on_port)(Invocation&, std::uint16_t) = nullptr;
};

const Command kCommands[] = {
    {"show", Needs::Operands, ShowCommand},
    {"compile", Needs::Operands, CompileCommand},
    {"export", Needs::Operands, ExportCommand},
    {"import", Needs::Operands, ImportCommand},
    {"report", Needs::Operands, ReportCommand},
    {"detect", Needs::Settings, DetectCommand},
    {"ports", Needs::Settings, PortsCommand},
    {"tls", Needs::Settings, TlsCommand},
    {"plan", Needs::Operands, PlanCommand},
    {"upkeep", Needs::Settings, UpkeepCommand},
    {"install", Needs::Operands, InstallCommand},
    {"jobs", Needs::Operands, JobsCommand},
    {"on-failure", Needs::Operands, OnFailureCommand},
    {"status", Needs::Port, nullptr, StatusCommand},
    {"sync-clock", Needs::Port, nullptr, SyncClockCommand},
    {"activate", Needs::Port, nullptr, OneShotCommand},
    {"deactivate", Needs::Port, nullptr, OneShotCommand},
    {"test-output", Needs::Port, nullptr, OneShotCommand},
    {"download", Needs::Port, nullptr, DownloadCommand},
};

int Dispatch(Invocation& run) {
  const Command* command = nullptr;
  for (const Command& c : kCommands) {
    if (run.options.command == QLatin1String(c.name)) command = &c;
  }
  if (command != nullptr && command->needs == Needs::Operands) return command->run(run);
  run.loadSettings();
  if (command != nullptr && command->needs == Needs::Settings) return command->run(run);
  const std::optional<std::uint16_t> port = run.portNumber();
  if (!port) return kExitUsage;
  if (command == nullptr) {
    run.env.err << "zmrctl: unknown command " << run.options.command.toStdString() << "\n\n" << kUsageText;
    return kExitUsage;
  }
  return command->run_on_port(run, *port);
}

}  // namespace

bool NeedsGuiApplication(const QStringList& args) {
  // The printouts draw with Qt Gui: the week's report, and a plan's year as a PDF.
  return args.contains(QStringLiteral("report")) ||
         (args.contains(QStringLiteral("plan")) && args.contains(QStringLiteral("--pdf")));
}

int Run(const QStringList& args, Environment& env) {
  const std::optional<Options> options = Parse(args, env.err);
  if (!options) {
    env.err << '\n' << kUsageText;
    return kExitUsage;
  }
  if (options->help) {
    env.out << kUsageText;
    return kExitOk;
  }
  if (options->command.isEmpty()) {
    env.err << kUsageText;
    return kExitUsage;
  }
  try {
    Invocation run(env, *options);
    return Dispatch(run);
  } catch (const PortError& e) {
    env.err << "error: " << PortErrorText(e).toStdString() << '\n';
    return kExitPortError;
  } catch (const IoError& e) {
    env.err << "error: " << WithFullStop(e.what()) << '\n';
    return kExitOtherFailure;
  }
}

}  // namespace zmr::ctl
