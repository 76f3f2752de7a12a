// zmrshots DIR: opens a sample project in a fresh program folder and saves a picture of
// the main window and of each dialog into DIR, for the documentation.
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdio>
#include <memory>

#include "base/clock.h"
#include "link/port_map.h"
#include "link/serial_port.h"
#include "link/timer_link.h"
#include "plan/plan_edit.h"
#include "plan/plan_reader.h"
#include "plan/ui/yearplan.h"
#include "project/project_file.h"
#include "project/settings.h"
#include "windows/about.h"
#include "windows/console_windows.h"
#include "windows/newproject.h"
#include "windows/programoptions.h"
#include "ui/qt_prompts.h"
#include "windows/start_up.h"

namespace {

// Shows a dialog without its event loop, so that it can be photographed.
class ShowOnlyRunner : public zmr::DialogRunner {
 public:
  void run(zmr::ConsoleDialog& dialog) override {
    dialog.FormShow();
    dialog.show();
  }
};

bool Save(QWidget& widget, const QString& path) {
  widget.show();
  QApplication::processEvents();
  const bool ok = widget.grab().save(path);
  QTextStream(stdout) << (ok ? "wrote " : "could not write ") << path << '\n';
  return ok;
}

void AddPulse(zmr::ProjectSetup& project, int day, int slot, int hour, int minute, int pulse, const char* title) {
  auto& event = project.slot(day, slot);
  event.hour = static_cast<std::uint8_t>(hour);
  event.minute = static_cast<std::uint8_t>(minute);
  event.kind = static_cast<std::uint8_t>(zmr::EventKind::Pulse);
  event.pulse_seconds = static_cast<std::uint8_t>(pulse);
  event.title.setText(QString::fromLatin1(title));
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: zmrshots DIR\n");
    return 2;
  }
  const QString out = QDir(QString::fromLocal8Bit(argv[1])).absolutePath() + '/';
  QDir().mkpath(out);
  QTemporaryDir folder;

  auto data = std::make_unique<zmr::ConsoleData>();
  data->state.program_folder = folder.path() + '/';
  zmr::ResetProject(data->project);
  data->project.summary.title.setText("Main Hall");
  data->project.summary.subject.setText("School bells, summer term");
  data->project.summary.author.setText("J. Smith");
  AddPulse(data->project, 1, 1, 8, 0, 5, "First lesson");
  const QString sample = folder.path() + "/Main Hall.zmr";
  data->state.project_path = sample;
  zmr::WriteProjectFile(*data);
  zmr::ProgramSettings settings;
  zmr::DefaultSettings(settings);
  settings.recent_projects[0].setText(sample);
  settings.recent_projects[1].setText(folder.path() + "/Sports Hall.zmr");
  zmr::SaveSettings(settings, data->state.program_folder);
  // Com 3 leads to a timer in another building.
  zmr::MapComPort(zmr::SettingsFolder(data->state.program_folder), 3,
                  *zmr::ParseNetworkAddress("rfc2217://10.0.4.20:2217").address);

  zmr::QtPrompts prompts;
  ShowOnlyRunner runner;
  zmr::SystemClock clock;  // the port is never opened here; the link makes the commands available
  const std::unique_ptr<zmr::SerialPort> port = zmr::MakePort();
  zmr::TimerLink link(*port, clock);
  zmr::Console console{*data, prompts, runner, &link};
  zmr::ConsoleWindows windows(console, {});
  zmr::TMainform& main = windows.Mainform();
  main.FormShow();
  main.Timer1().stop();
  bool ok = Save(main, out + "main-window.png");

  main.OpenRecent(1);
  ok = Save(main, out + "main-window-project.png") && ok;
  main.ShowProperties();
  ok = Save(windows.newprojectform(), out + "properties-dialog.png") && ok;
  windows.newprojectform().hide();
  runner.run(windows.StartupForm());
  ok = Save(windows.StartupForm(), out + "welcome-dialog.png") && ok;
  windows.StartupForm().hide();
  runner.run(windows.programoptionsform());
  ok = Save(windows.programoptionsform(), out + "options-dialog.png") && ok;
  windows.programoptionsform().selectcomms().setItemIndex(2);
  ok = Save(windows.programoptionsform(), out + "options-dialog-network.png") && ok;
  windows.programoptionsform().selectcomms().networkTimer();
  ok = Save(windows.programoptionsform().selectcomms().networkForm(), out + "network-timer-dialog.png") && ok;
  windows.programoptionsform().selectcomms().networkForm().hide();
  windows.programoptionsform().hide();
  runner.run(windows.aboutform());
  ok = Save(windows.aboutform(), out + "about-dialog.png") && ok;
  windows.aboutform().hide();

  // A year plan around today: the usual week, an open day, a week without bells.
  const QDate today = QDate::currentDate();
  zmr::YearPlan plan = zmr::NewPlan(folder.path() + "/north.toml", sample);
  plan.periods = {{"Open day", today.addDays(9), today.addDays(9), "Main Hall.zmr"},
                  {"Holidays", today.addDays(20), today.addDays(33), ""}};
  zmr::WritePlanFile(plan);
  zmr::RememberPlan(zmr::SettingsFolder(data->state.program_folder), plan.path);
  runner.run(windows.yearplanform());
  ok = Save(windows.yearplanform(), out + "yearplan-window.png") && ok;
  return ok ? 0 : 1;
}
