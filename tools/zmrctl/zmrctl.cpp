#include "zmrctl/zmrctl.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QTemporaryDir>
#include <optional>

#include "base/errors.h"
#include "base/file_io.h"
#include "exchange/exchange_commands.h"
#include "exchange/exchange_texts.h"
#include "hardware/activation.h"
#include "hardware/download.h"
#include "hardware/download_view.h"
#include "hardware/status_report.h"
#include "link/detect_port.h"
#include "link/network_address.h"
#include "link/port_hint.h"
#include "link/port_map.h"
#include "link/port_names.h"
#include "link/timer_commands.h"
#include "link/timer_link.h"
#include "project/project_file.h"
#include "project/settings.h"
#include "report/paint/schedule_report.h"
#include "zmrctl/console_prompts.h"
#include "zmrctl/week_table.h"

namespace zmr::ctl {

const char kUsageText[] =
    "Usage: zmrctl [--port COMn|DEVICE] [--settings DIR] COMMAND [ARGS]\n"
    "\n"
    "Talks to a ZMR timer on a serial line, as the console does.\n"
    "\n"
    "Commands:\n"
    "  status                 read the timer's status and print the status report\n"
    "  sync-clock             set the timer's clock from this PC's clock\n"
    "  activate               activate the timer\n"
    "  deactivate             deactivate the timer\n"
    "  test-output            close the timer's output relay for a few seconds\n"
    "  download FILE.zmr [--activate]\n"
    "                         send the project's week to the timer, then compare the\n"
    "                         clocks; --activate answers yes when the timer offers to be\n"
    "                         activated (the default is no)\n"
    "  detect [--save]        look for the timer on COM1, then COM2; --save stores the\n"
    "                         port found in timer.ini\n"
    "  show FILE.zmr          print the project's summary and its week as a table\n"
    "  compile FILE.zmr       print the chunks a download would send: address, 64 bytes\n"
    "  export FILE.zmr [OUT.csv]\n"
    "                         write the project's week as CSV to OUT.csv (default: stdout)\n"
    "  import IN.csv FILE.zmr [--new]\n"
    "                         replace the week of the project with the events in IN.csv,\n"
    "                         all or nothing; --new creates FILE.zmr with an empty summary\n"
    "                         and never replaces an existing file\n"
    "  report FILE.zmr --pdf OUT.pdf\n"
    "                         write the project's schedule report, as it prints, to a PDF\n"
    "                         file (no display needed)\n"
    "  ports                  list where COM1 .. COM6 lead on this PC (* marks the port\n"
    "                         stored in timer.ini)\n"
    "\n"
    "Options:\n"
    "  --port COMn|DEVICE     the port to use; COMn is $ZMR_COMn when set, else the n-th\n"
    "                         serial device: USB adapters first (by /dev/serial/by-id\n"
    "                         name), then built-in ports (ttyS0, ttyS1, ...); a path names\n"
    "                         a device directly. Default: the port stored in timer.ini\n"
    "  --settings DIR         the folder of timer.ini (default: beside the program when\n"
    "                         that folder takes files, else ~/.config/zmr-console)\n"
    "  -h, --help             this text\n"
    "\n"
    "Schedule CSV (export and import):\n"
    "  UTF-8 text, a header line day,time,pulse,kind,title, then one line per event, e.g.\n"
    "    day,time,pulse,kind,title\n"
    "    Mon,08:00,5,Pulse,First lesson\n"
    "    Mon,12:30,10,Pulse,\"Lunch, all classes\"\n"
    "  day    Mon Tue Wed Thu Fri Sat Sun (any case) or 1..7, 1 = Monday\n"
    "  time   H:MM or HH:MM, 0:00 to 23:59\n"
    "  pulse  seconds 1..59 for a Pulse; for On and Off the stored byte 0..255 (empty = 0)\n"
    "  kind   Pulse, On or Off (any case; empty = Pulse)\n"
    "  title  any text; quoted as RFC 4180 has it when it holds a comma, quote or line\n"
    "         break; stored in Windows-1252 ('?' for other characters), cut to 100\n"
    "  Import also takes ';' as the separator (seen in the header), a byte-order mark and\n"
    "  CRLF line ends; blank lines are skipped. At most 120 events a day, one per time.\n"
    "  Every faulty line is listed as FILE line N: reason, and nothing is changed.\n"
    "\n"
    "Exit status: 0 success, 2 usage error, 3 project file or CSV refused, 4 serial port\n"
    "error, 5 the timer did not answer or answered wrongly, 6 any other failure (a file\n"
    "could not be read or written).\n";

namespace {

constexpr int kListedPorts = 6;  // the ports the dialogs offer

struct Options {
  QString command;
  QStringList operands;
  std::optional<QString> port;
  std::optional<QString> settings_folder;
  std::optional<QString> pdf;
  bool activate = false;
  bool save = false;
  bool create_new = false;
  bool help = false;
};

std::optional<Options> Parse(const QStringList& args, std::ostream& err) {
  Options o;
  for (qsizetype i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    auto value = [&]() -> std::optional<QString> {
      if (i + 1 >= args.size()) {
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

// Memo lines to stdout; the day progress on a terminal only.
class ConsoleDownloadView : public DownloadView {
 public:
  ConsoleDownloadView(std::ostream& out, std::ostream& err, bool terminal)
      : out_(out), err_(err), terminal_(terminal) {}
  ~ConsoleDownloadView() override { endProgress(); }
  void addLine(const QString& line) override {
    endProgress();
    out_ << line.toStdString() << std::endl;
  }
  void clearLines() override {}
  void setProgress(int position, int maximum) override {
    if (!terminal_ || maximum <= 0) return;
    std::string bar(static_cast<std::size_t>(maximum), '.');
    bar.replace(0, static_cast<std::size_t>(position), static_cast<std::size_t>(position), '#');
    err_ << "\r[" << bar << "] day " << position << " of " << maximum << std::flush;
    progress_shown_ = true;
  }
  void setDownloadEnabled(bool) override {}
  void setUpdateEnabled(bool) override {}
  void setCloseEnabled(bool) override {}

 private:
  void endProgress() {
    if (progress_shown_) {
      err_ << '\n';
      progress_shown_ = false;
    }
  }
  std::ostream& out_;
  std::ostream& err_;
  bool terminal_;
  bool progress_shown_ = false;
};

class NoDetectView : public DetectView {
 public:
  void setDetectControlsEnabled(bool) override {}
  void selectPort(int) override {}
};

// One run's world: settings, the port and its link, the prompts.
class Session {
 public:
  Session(Environment& env, const Options& options)
      : env_(env), options_(options), prompts_(env.out, env.err, options.activate) {}

  int run() {
    const QString& c = options_.command;
    if (c == "show" || c == "compile") return withProject([&](const ProjectSetup& p) {
        env_.out << (c == "show" ? SummaryText(p) + '\n' + WeekTable(p) : CompiledChunks(p));
        return kExitOk;
      });
    if (c == "export") return exportWeek();
    if (c == "import") return importWeek();
    if (c == "report") return report();
    if (!loadSettings()) return kExitOtherFailure;
    if (c == "detect") return detect();
    if (c == "ports") return ports();
    const std::optional<std::uint16_t> port = portNumber();
    if (!port) return kExitUsage;
    port_ = env_.make_port();
    link_ = std::make_unique<TimerLink>(*port_, env_.clock);
    if (c == "status") return status(*port);
    if (c == "sync-clock") return syncClock(*port);
    if (c == "activate" || c == "deactivate" || c == "test-output") return oneShot(c, *port);
    if (c == "download") return withProject([&](const ProjectSetup& p) { return download(p, *port); });
    env_.err << "zmrctl: unknown command " << c.toStdString() << "\n\n" << kUsageText;
    return kExitUsage;
  }

 private:
  template <typename F>
  int withProject(F&& f) {
    if (options_.operands.size() != 1) {
      env_.err << "zmrctl: " << options_.command.toStdString() << " takes one project file\n";
      return kExitUsage;
    }
    auto project = std::make_unique<ProjectSetup>();
    if (ReadProjectFile(options_.operands[0], *project, prompts_) != OpenOutcome::Opened) {
      return kExitProjectRefused;
    }
    return f(*project);
  }

  int exportWeek() {
    if (options_.operands.isEmpty() || options_.operands.size() > 2) {
      env_.err << "zmrctl: export takes a project file and, optionally, the CSV file to write\n";
      return kExitUsage;
    }
    auto project = std::make_unique<ProjectSetup>();
    if (ReadProjectFile(options_.operands[0], *project, prompts_) != OpenOutcome::Opened) {
      return kExitProjectRefused;
    }
    if (options_.operands.size() == 2 && IsSameFile(options_.operands[1], options_.operands[0])) {
      env_.err << "zmrctl: " << kCsvOverProjectText.toStdString() << '\n';
      return kExitUsage;
    }
    if (options_.operands.size() == 2) {
      WriteScheduleCsv(*project, options_.operands[1]);
    } else {
      env_.out << ScheduleCsv(*project) << std::flush;
    }
    return kExitOk;
  }

  int importWeek() {
    if (options_.operands.size() != 2) {
      env_.err << "zmrctl: import takes the CSV file and the project file\n";
      return kExitUsage;
    }
    const QString& project_path = options_.operands[1];
    auto data = std::make_unique<ConsoleData>();
    data->state.project_path = project_path;
    if (options_.create_new) {
      if (QFileInfo::exists(project_path)) {
        env_.err << "zmrctl: " << project_path.toStdString()
                 << " already exists; import --new never replaces a file\n";
        return kExitProjectRefused;
      }
      ResetProject(data->project);
    } else {
      if (ReadProjectFile(project_path, data->project, prompts_) != OpenOutcome::Opened) {
        return kExitProjectRefused;
      }
      if (IsReadOnlyFile(project_path)) {
        prompts_.message(BoxKind::Error, kReadOnlyProjectText, BoxButtons::Ok);
        return kExitProjectRefused;
      }
    }
    const CsvImport read = ReadScheduleCsv(options_.operands[0]);
    if (!read.week) {
      for (const QString& e : read.errors) {
        env_.err << e.toStdString() << '\n';
      }
      env_.err << kNotImportedText.toStdString() << '\n';
      return kExitProjectRefused;
    }
    if (options_.create_new) {
      ReplaceWeek(data->project, *read.week);
      WriteProjectFile(*data);
    } else {
      data->state.project_open = true;
      ImportWeek(*data, *read.week);
    }
    env_.out << "Imported " << read.week->events << " events into " << project_path.toStdString() << '\n';
    return kExitOk;
  }

  int report() {
    if (!options_.pdf) {
      env_.err << "zmrctl: report needs --pdf OUT.pdf\n";
      return kExitUsage;
    }
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
      env_.err << "zmrctl: report needs a Qt Gui application\n";
      return kExitOtherFailure;
    }
    return withProject([&](const ProjectSetup& p) {
      WriteSchedulePdf(*options_.pdf, p, env_.clock.now().date());
      return kExitOk;
    });
  }

  bool loadSettings() {
    folder_ = options_.settings_folder ? *options_.settings_folder : env_.program_folder;
    if (!folder_.isEmpty() && !folder_.endsWith('/')) folder_ += '/';
    LoadSettings(settings_, folder_);
    UsePortMapFolder(SettingsFolder(folder_));
    return true;
  }

  // COMn -> n; a device path or network address stands in for COM1 through its mapping
  // variable.
  std::optional<std::uint16_t> portNumber() {
    if (!options_.port) return settings_.com_port;
    const QString& p = *options_.port;
    if (p.startsWith("COM")) {
      bool ok = false;
      const int n = p.mid(3).toInt(&ok);
      if (ok && n >= 0 && n <= 255) return static_cast<std::uint16_t>(n);
      env_.err << "zmrctl: bad port " << p.toStdString() << '\n';
      return std::nullopt;
    }
    if (IsNetworkPortName(p)) {
      const ParsedAddress parsed = ParseNetworkAddress(p);
      if (!parsed.address) {
        env_.err << "zmrctl: bad port " << p.toStdString() << ": " << parsed.problem.toStdString() << '\n';
        return std::nullopt;
      }
      qputenv("ZMR_COM1", parsed.address->text().toLocal8Bit());
      return 1;
    }
    qputenv("ZMR_COM1", p.toLocal8Bit());
    return 1;
  }

  int status(std::uint16_t port) {
    link_->EnsurePortOpen(port);
    link_->LinkPreamble();
    if (!link_->QueryStatus()) {
      prompts_.message(BoxKind::Error, kTimerNotFoundText, BoxButtons::Ok);
      return kExitTimerFailure;
    }
    const StatusTexts t = MakeStatusTexts(link_->link_data, link_->unit_status);
    const QString pc_text = PcDateTimeText(env_.clock.now(), env_.formats);
    env_.out << kTimerStateCaption.toStdString() << "\t\t" << t.timerstate.toStdString() << '\n'
             << kProductCodeCaption.toStdString() << "\t\t" << t.productcode.toStdString() << '\n'
             << kSerialNumberCaption.toStdString() << "\t\t" << t.serialnum.toStdString() << '\n'
             << kFirmwareCaption.toStdString() << '\t' << t.firmwareversion.toStdString() << '\n'
             << kUnitDateTimeCaption.toStdString() << "\t\t" << t.hardwaredt.toStdString() << '\n'
             << "Program version:\t" << kProgramVersion.toStdString() << '\n'
             << "PC date/time:\t\t" << pc_text.toStdString() << '\n';
    return kExitOk;
  }

  int syncClock(std::uint16_t port) {
    ConsoleDownloadView view(env_.out, env_.err, env_.terminal);
    DownloadContext context{*link_, prompts_, view, env_.formats};
    if (!MakeClockPayload(env_.clock.now()).payload) {
      SynchronizeClock(context, port);  // shows the refusal
      return kExitOtherFailure;
    }
    return SynchronizeClock(context, port) ? kExitOk : kExitTimerFailure;
  }

  int oneShot(const QString& c, std::uint16_t port) {
    link_->EnsurePortOpen(port);
    bool ok = false;
    if (c == "activate") ok = ActivateTimer(*link_, prompts_);
    if (c == "deactivate") ok = DeactivateTimer(*link_, prompts_);
    if (c == "test-output") ok = TestOutput(*link_, prompts_);
    return ok ? kExitOk : kExitTimerFailure;
  }

  int download(const ProjectSetup& project, std::uint16_t port) {
    ConsoleDownloadView view(env_.out, env_.err, env_.terminal);
    DownloadContext context{*link_, prompts_, view, env_.formats};
    ProjectState state;
    const DownloadResult result = DownloadSchedule(context, project, state, port);
    if (result != DownloadResult::Completed) return kExitTimerFailure;
    return prompts_.errors() == 0 ? kExitOk : kExitTimerFailure;  // e.g. a failed activation
  }

  // Where COM1 .. COM6 (and any further device) lead; '*' marks timer.ini's port.
  int ports() {
    for (const PortMapping& m : MapPorts(kListedPorts, true)) {
      std::string line = (m.n == settings_.com_port ? "* " : "  ") + PortName(m.n).toStdString();
      line.resize(std::max<std::size_t>(line.size() + 1, 8), ' ');
      if (m.device.isEmpty()) {
        line += "no device";
      } else {
        line += m.device.toStdString();
        if (!m.description.isEmpty()) line += "  " + m.description.toStdString();
        if (m.overridden) line += "  (set by ZMR_" + PortName(m.n).toStdString() + ")";
        if (!m.by_id.isEmpty()) line += "\n        /dev/serial/by-id/" + m.by_id.toStdString();
      }
      env_.out << line << '\n';
    }
    return kExitOk;
  }

  int detect() {
    port_ = env_.make_port();
    link_ = std::make_unique<TimerLink>(*port_, env_.clock);
    NoDetectView view;
    // Without --save nothing may reach timer.ini: detection saves into a scratch folder.
    QTemporaryDir scratch;
    const QString folder = options_.save ? folder_ : scratch.path() + '/';
    return DetectPort(*link_, settings_, folder, prompts_, view) != 0 ? kExitOk : kExitTimerFailure;
  }

  Environment& env_;
  const Options& options_;
  ConsolePrompts prompts_;
  ProgramSettings settings_;
  QString folder_;
  std::unique_ptr<SerialPort> port_;
  std::unique_ptr<TimerLink> link_;
};

}  // namespace

bool NeedsGuiApplication(const QStringList& args) { return args.contains(QStringLiteral("report")); }

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
    Session session(env, *options);
    return session.run();
  } catch (const PortError& e) {
    env.err << "error: " << PortErrorText(e).toStdString() << '\n';
    return kExitPortError;
  } catch (const IoError& e) {
    env.err << "error: " << WithFullStop(e.what()) << '\n';
    return kExitOtherFailure;
  }
}

}  // namespace zmr::ctl
