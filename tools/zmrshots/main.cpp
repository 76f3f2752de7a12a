// zmrshots DIR: opens a sample project in a fresh program folder and saves a picture of
// the main window and of each dialog into DIR, for the documentation.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdio>
#include <fstream>
#include <memory>

#include "base/clock.h"
#include "editor/ui/scheduleall.h"
#include "link/port_map.h"
#include "link/serial_port.h"
#include "link/timer_link.h"
#include "plan/plan_edit.h"
#include "plan/plan_reader.h"
#include "plan/ui/plan_months.h"
#include "plan/ui/yearplan.h"
#include "project/project_file.h"
#include "project/settings.h"
#include "report/paint/week_list_report.h"
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

// A school's usual week typed into the editor as a secretary types it: each bell once,
// then Mon-Fri.
void TypeUsualWeek(zmr::Tscheduleallform& editor) {
  const struct {
    const char* title;
    const char* pulse;
    const char* time;
  } bells[] = {{"First lesson", "5", "08:00"},  {"Second lesson", "3", "08:45"}, {"Third lesson", "3", "09:30"},
               {"Short brake", "5", "10:15"},   {"Fourth lesson", "3", "10:30"}, {"Fifth lesson", "3", "11:15"},
               {"Lunch", "10", "12:00"},        {"Afternoon lessons", "5", "12:45"},
               {"Seventh lesson", "3", "13:30"}, {"Short break", "5", "14:15"},
               {"Ninth lesson", "3", "14:30"},  {"Tenth lesson", "3", "15:15"},
               {"End of the school day", "8", "16:00"}};
  auto* name = editor.findChild<QLineEdit*>("timer_name");
  auto* pulse = editor.findChild<QComboBox*>("timer_length");
  auto* time = editor.findChild<QLineEdit*>("time_on");
  for (const auto& b : bells) {
    name->setText(QString::fromLatin1(b.title));
    pulse->setEditText(QString::fromLatin1(b.pulse));
    time->setText(QString::fromLatin1(b.time));
    editor.bweekdaysClick();
  }
}

// The week list's first page, as pdftoppm draws it.
bool SaveListPage(const zmr::ProjectSetup& project, const QString& folder, const QString& path) {
  const QString pdf = folder + "/week-list.pdf";
  zmr::WriteWeekListPdf(pdf, project, QDate::currentDate());
  const QString base = path.chopped(4);  // pdftoppm adds ".png"
  const int status =
      QProcess::execute("pdftoppm", {"-png", "-r", "72", "-f", "1", "-l", "1", "-singlefile", pdf, base});
  QTextStream(stdout) << (status == 0 ? "wrote " : "could not write (pdftoppm) ") << path << '\n';
  return status == 0;
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
  AddPulse(data->project, 1, 1, 7, 55, 5, "Doors open");
  const QString sample = folder.path() + "/Main Hall.zmr";
  data->state.project_path = sample;
  zmr::WriteProjectFile(*data);
  zmr::ProgramSettings settings;
  zmr::DefaultSettings(settings);
  settings.recent_projects[0].setText(sample);
  settings.recent_projects[1].setText(folder.path() + "/Sports Hall.zmr");
  zmr::SaveSettings(settings, data->state.program_folder);
  // Com 3 leads to a timer in another building, over TLS.
  zmr::MapComPort(zmr::SettingsFolder(data->state.program_folder), 3,
                  *zmr::ParseNetworkAddress("rfc2217+tls://10.0.4.20:2217").address);

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

  // The editor with the usual week, one break opened and its title put right on every day.
  zmr::Tscheduleallform& editor = windows.scheduleallform();
  runner.run(editor);
  TypeUsualWeek(editor);
  ok = Save(editor, out + "editor.png") && ok;
  auto* grid = editor.findChild<QTableWidget*>("timergrid");
  grid->setCurrentCell(4, 0);  // 10:15 on Monday
  editor.timergridDblClick();
  editor.findChild<QLineEdit*>("timer_name")->setText("Short break");
  editor.timer_propertyExit();
  editor.bsameallClick();
  ok = Save(editor, out + "editor-same-on-all-days.png") && ok;
  editor.hide();
  ok = SaveListPage(data->project, folder.path(), out + "week-list.png") && ok;

  // A school year around today: the usual week (the editor's, bells Monday to Friday), an
  // exam week and mock exams on a week of their own, holidays from a calendar file.
  const QDate today = QDate::currentDate();
  const QString exams = folder.path() + "/Exam week.zmr";
  QFile::copy(sample, exams);
  std::ofstream(folder.path().toStdString() + "/holidays.ics")
      << "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//school//terms//EN\r\nBEGIN:VEVENT\r\nUID:1@school\r\n"
      << "SUMMARY:Holidays\r\nDTSTART;VALUE=DATE:" << today.addDays(30).toString("yyyyMMdd").toStdString()
      << "\r\nDTEND;VALUE=DATE:" << today.addDays(44).toString("yyyyMMdd").toStdString()
      << "\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
  zmr::YearPlan plan = zmr::NewPlan(folder.path() + "/north.toml", sample);
  plan.holidays = {{"holidays.ics", {}}};
  plan.periods = {{"Mock exams", today.addDays(8), today.addDays(10), "Exam week.zmr"},
                  {"Open day", today.addDays(16), today.addDays(16), ""},
                  {"Exam week", today.addDays(60), today.addDays(66), "Exam week.zmr"}};
  zmr::WritePlanFile(plan);
  zmr::RememberPlan(zmr::SettingsFolder(data->state.program_folder), plan.path);
  runner.run(windows.yearplanform());
  // The coming Saturday clicked: a day the week rings nothing on.
  windows.yearplanform().months().pick(today.addDays(Qt::Saturday - today.dayOfWeek() + (today.dayOfWeek() > Qt::Saturday ? 7 : 0)));
  ok = Save(windows.yearplanform(), out + "yearplan-window.png") && ok;
  return ok ? 0 : 1;
}
