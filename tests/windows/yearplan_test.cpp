// The Year Plan window: what each control writes into the plan file, the refusals it
// shows before anything is stored, upkeep against the in-process timer, and the colours
// and legend of a known plan.
#include <gtest/gtest.h>

#include <QCalendarWidget>
#include <QComboBox>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTextCharFormat>
#include <QTimer>

#include "link/port_error.h"
#include "link/port_names.h"
#include "hardware/week_state.h"
#include "plan/plan_edit.h"
#include "plan/plan_install.h"
#include "plan/plan_reader.h"
#include "plan/holiday_calendar.h"
#include "plan/ui/calendar_dialog.h"
#include "plan/ui/period_dialog.h"
#include "plan/ui/plan_looks.h"
#include "plan/ui/plan_months.h"
#include "plan/ui/yearplan.h"
#include "plan/upkeep_record.h"
#include "project/project_file.h"
#include "report/paint/schedule_report.h"
#include "ui/date_field.h"
#include "ui/transient_note.h"
#include "project/settings.h"
#include "support/fake_printers.h"
#include "support/local_http_server.h"
#include "support/pdf_tools.h"
#include "support/plan_fixtures.h"
#include "support/project_fixtures.h"
#include "support/scripted_systemd.h"
#include "support/sim_port.h"
#include "windows_world.h"

namespace zmr::testing {
namespace {

class YearPlanTest : public ::testing::Test {
 protected:
  YearPlanTest() {
    sim.clock.setNow(kMorning);
    form().setStateFolder(state.folder());
    form().setServiceQuery(std::make_shared<ScriptedSystemd>());
  }
  Tyearplanform& form() { return w.windows().yearplanform(); }
  template <typename T = QPushButton>
  T* control(const char* name) {
    return Control<T>(form(), name);
  }
  void click(const char* name) { QTest::mouseClick(control(name), Qt::LeftButton); }
  // The plan as the file now holds it.
  YearPlan written() {
    const PlanReading r = ReadPlan(files.file("north.toml"), kMorning.date());
    EXPECT_TRUE(r.ok()) << FaultLines(r.faults).join('\n').toStdString();
    return r.plan;
  }
  // A new plan north.toml with normal.zmr as its usual week, through the window.
  void makePlan() {
    form().FormShow();
    w.prompts.file_answers = {files.file("north.toml"), files.file("normal.zmr")};
    click("newplanbut");
    ASSERT_TRUE(form().plan().has_value());
  }
  // The period dialog, filled in by keys when it is shown, then OK.
  void periodAnswer(const QString& name, QDate from, QDate to, const QString& week, bool* accepted = nullptr) {
    w.runner.scripts.push_back([=, this](ConsoleDialog& dialog) {
      auto* name_field = Control<QLineEdit>(dialog, "periodname");
      name_field->selectAll();
      QTest::keyClicks(name_field, name);
      for (const auto& [field, date] : {std::pair{"periodfrom", from}, std::pair{"periodto", to}}) {
        Control<DateField>(dialog, field)->selectAll();
        QTest::keyClicks(Control<DateField>(dialog, field), date.toString(Qt::ISODate));
      }
      if (week.isEmpty()) {
        QTest::mouseClick(Control<QRadioButton>(dialog, "periodnobells"), Qt::LeftButton);
      } else {
        QTest::mouseClick(Control<QRadioButton>(dialog, "periodwithweek"), Qt::LeftButton);
        w.prompts.file_answers.push_back(files.file(week));
        QTest::mouseClick(Control<QPushButton>(dialog, "periodweekbut"), Qt::LeftButton);
      }
      QTest::mouseClick(Control<QPushButton>(dialog, "periodok"), Qt::LeftButton);
      if (accepted != nullptr) *accepted = dialog.result() == QDialog::Accepted;
      if (dialog.result() != QDialog::Accepted) dialog.reject();
    });
  }
  // The calendar dialog, when it is shown: a file chosen, or an address typed and read;
  // the words one a line; then OK.
  void calendarAnswer(const QString& file_or_address, const QStringList& words = {}, bool* accepted = nullptr) {
    w.runner.scripts.push_back([=, this](ConsoleDialog& dialog) {
      if (file_or_address.isEmpty() || IsWebCalendar(file_or_address) || !QFileInfo::exists(files.file(file_or_address))) {
        auto* source = Control<QLineEdit>(dialog, "calendarsource");
        source->selectAll();
        QTest::keyClicks(source, file_or_address);
        QTest::keyClick(source, Qt::Key_Return);
      } else {
        w.prompts.file_answers.push_back(files.file(file_or_address));
        QTest::mouseClick(Control<QPushButton>(dialog, "calendarbrowsebut"), Qt::LeftButton);
      }
      auto* only = Control<QPlainTextEdit>(dialog, "calendaronly");
      only->selectAll();
      QTest::keyClick(only, Qt::Key_Delete);
      for (const QString& word : words) {
        QTest::keyClicks(only, word);
        QTest::keyClick(only, Qt::Key_Return);
      }
      QTest::mouseClick(Control<QPushButton>(dialog, "calendarok"), Qt::LeftButton);
      if (accepted != nullptr) *accepted = dialog.result() == QDialog::Accepted;
      if (dialog.result() != QDialog::Accepted) dialog.reject();
    });
  }
  std::vector<std::string> periodNames() {
    std::vector<std::string> names;
    for (const PlanPeriod& p : written().periods) names.push_back(p.name.toStdString());
    return names;
  }
  std::vector<std::string> upkeepLines() {
    std::vector<std::string> lines;
    for (const QString& l : control<QPlainTextEdit>("upkeeplines")->toPlainText().split('\n', Qt::SkipEmptyParts)) {
      lines.push_back(l.toStdString());
    }
    return lines;
  }

  PlanFolder files;
  TempDir state;
  SimulatedLink sim{TimerSetTo(kMorning)};
  World w{{}, &sim.link};
};

TEST_F(YearPlanTest, TheHardwareMenuOpensItWithOrWithoutAProject) {
  TMainform& main = w.started();
  for (const bool open : {false, true}) {
    w.data->state.project_open = open;
    main.RefreshMainMenu();
    QAction* item = Control(main, "YearPlan1");
    ASSERT_TRUE(item->isEnabled()) << open;
    item->trigger();
    EXPECT_TRUE(form().isVisible()) << open;
    form().hide();
  }
}

TEST_F(YearPlanTest, EachControlChangesTheFileWritten) {
  makePlan();
  EXPECT_EQ(written().week, "normal.zmr");
  EXPECT_EQ(RememberedPlan(SettingsFolder(w.data->state.program_folder)), files.file("north.toml"));
  EXPECT_EQ(control<QLineEdit>("planpath")->text(), files.file("north.toml"));

  auto* tolerance = control<QSpinBox>("tolerance");
  tolerance->selectAll();
  QTest::keyClicks(tolerance, "45");
  QTest::keyClick(tolerance, Qt::Key_Return);
  EXPECT_EQ(written().clock_tolerance, 45);

  auto* port = control<QComboBox>("portname");
  EXPECT_EQ(port->currentText(), "The stored port (COM1)");
  port->lineEdit()->selectAll();
  QTest::keyClicks(port->lineEdit(), "rfc2217://127.0.0.1:7000");
  QTest::keyClick(port->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(written().port, "rfc2217://127.0.0.1:7000");
  port->setCurrentIndex(0);
  emit port->activated(0);
  EXPECT_EQ(written().port, std::nullopt);

  w.prompts.file_answers = {files.file("exams.zmr")};
  click("usualweekbut");
  EXPECT_EQ(written().week, "exams.zmr");
  w.prompts.file_answers = {files.file("normal.zmr")};
  click("usualweekbut");
  EXPECT_EQ(written().week, "normal.zmr");

  periodAnswer("Exam week", QDate(2027, 5, 10), QDate(2027, 5, 14), "exams.zmr");
  click("addperiodbut");
  periodAnswer("Christmas holidays", QDate(2026, 12, 21), QDate(2027, 1, 3), "");
  click("addperiodbut");
  periodAnswer("Sports day", QDate(2027, 5, 13), QDate(2027, 5, 13), "normal.zmr");
  click("addperiodbut");
  const YearPlan three = written();
  ASSERT_EQ(three.periods.size(), 3u);
  EXPECT_EQ(three.periods[0].week, "exams.zmr");
  EXPECT_EQ(three.periods[1].week, "");
  EXPECT_EQ(three.periods[1].to, QDate(2027, 1, 3));
  auto* table = control<QTableWidget>("periods");
  EXPECT_EQ(table->item(1, 3)->text(), "No bells");
  EXPECT_EQ(table->currentRow(), 2) << "the new period is the one selected";

  click("upperiodbut");
  EXPECT_EQ(periodNames(), (std::vector<std::string>{"Exam week", "Sports day", "Christmas holidays"}));
  click("upperiodbut");
  click("upperiodbut");  // already first: nothing moves
  EXPECT_EQ(periodNames(), (std::vector<std::string>{"Sports day", "Exam week", "Christmas holidays"}));
  click("downperiodbut");
  EXPECT_EQ(periodNames(), (std::vector<std::string>{"Exam week", "Sports day", "Christmas holidays"}));
  table->selectRow(1);
  periodAnswer("Sports afternoon", QDate(2027, 5, 13), QDate(2027, 5, 13), "exams.zmr");
  click("editperiodbut");
  EXPECT_EQ(written().periods[1].name, "Sports afternoon");
  EXPECT_EQ(written().periods[1].week, "exams.zmr");
  w.prompts.answers = {BoxAnswer::No, BoxAnswer::Yes};
  click("removeperiodbut");
  EXPECT_EQ(periodNames().size(), 3u) << "answered No";
  click("removeperiodbut");
  EXPECT_EQ(periodNames(), (std::vector<std::string>{"Exam week", "Christmas holidays"}));
  EXPECT_EQ(w.prompts.texts().back(), kRemovePeriodText.arg("Sports afternoon"));

  calendarAnswer("terms.ics");
  click("addcalendarbut");
  EXPECT_EQ(written().holidays, (std::vector<HolidayCalendar>{{"terms.ics", {}}}));
  auto* calendars = control<QListWidget>("calendars");
  ASSERT_EQ(calendars->count(), 1);
  EXPECT_EQ(calendars->item(0)->text(), "6 days: terms.ics");  // half term and May Day
  calendars->setCurrentRow(0);
  w.prompts.answers = {BoxAnswer::Yes};
  click("removecalendarbut");
  EXPECT_EQ(w.prompts.texts().back(), kRemoveCalendarText.arg("terms.ics"));
  EXPECT_TRUE(written().holidays.empty());
  EXPECT_EQ(calendars->count(), 0);

  // A fresh window finds the remembered plan.
  World again;
  again.data->state.program_folder = w.data->state.program_folder;
  again.windows().yearplanform().FormShow();
  ASSERT_TRUE(again.windows().yearplanform().plan().has_value());
  EXPECT_EQ(again.windows().yearplanform().plan()->periods.size(), 2u);
}

TEST_F(YearPlanTest, RefusalsAreShownBesideTheFieldBeforeAnythingIsStored) {
  makePlan();
  const std::string before = files.read("north.toml");
  struct Case {
    const char* what;
    QString name;
    QDate from, to;
    QString week;
    PeriodField field;
    QString fault;
  } cases[] = {
      {"backwards", "Exams", QDate(2027, 5, 10), QDate(2027, 5, 1), "exams.zmr", PeriodField::To,
       "'to' 2027-05-01 is before 'from' 2027-05-10"},
      {"no name", "", QDate(2027, 5, 10), QDate(2027, 5, 14), "exams.zmr", PeriodField::Name,
       "'name' must be a text in quotes, not empty"},
      {"not a week", "Exams", QDate(2027, 5, 10), QDate(2027, 5, 14), "not-a-week.zmr", PeriodField::Week,
       "week 'not-a-week.zmr' is not a valid project (.psf) file"},
  };
  for (const Case& c : cases) {
    bool accepted = true;
    periodAnswer(c.name, c.from, c.to, c.week, &accepted);
    click("addperiodbut");
    EXPECT_FALSE(accepted) << c.what;
    EXPECT_EQ(form().periodform().faultBeside(c.field), c.fault) << c.what;
    EXPECT_EQ(files.read("north.toml"), before) << c.what;
  }

  const struct {
    const char* source;
    QStringList words;
    CalendarField field;
    QString fault;
  } calendars[] = {
      {"broken.ics", {}, CalendarField::Source,
       "calendar 'broken.ics' is not a valid calendar: line 1: BEGIN:VCALENDAR is never closed"},
      {"none.ics", {}, CalendarField::Source, "calendar 'none.ics' is not there"},
      {"https:///terms.ics", {}, CalendarField::Source, "calendar 'https:///terms.ics' cannot be fetched: it names no host"},
      {"", {"holiday"}, CalendarField::Source, "'file' must be a text in quotes, not empty"},
  };
  for (const auto& c : calendars) {
    bool accepted = true;
    calendarAnswer(c.source, c.words, &accepted);
    click("addcalendarbut");
    EXPECT_FALSE(accepted) << c.source;
    EXPECT_EQ(form().calendarform().faultBeside(c.field), c.fault) << c.source;
    EXPECT_EQ(files.read("north.toml"), before) << c.source;
  }
  EXPECT_EQ(control<QListWidget>("calendars")->count(), 0);

  // A hand-made plan with faults is refused whole on opening, every fault listed.
  files.write("bad.toml", "week = \"gone.zmr\"\ncolour = 3\n");
  w.prompts.file_answers = {files.file("bad.toml")};
  click("openplanbut");
  ASSERT_EQ(w.prompts.boxes.size(), 1u);
  EXPECT_EQ(w.prompts.boxes[0].text,
            kPlanRefusedText.arg("bad.toml line 1: week 'gone.zmr' is not there\nbad.toml line 2: unknown key 'colour'"));
  EXPECT_EQ(form().plan()->path, files.file("north.toml"));

  // Remembered but spoilt by hand since: no box at opening, the faults above the plan.
  RememberPlan(SettingsFolder(w.data->state.program_folder), files.file("bad.toml"));
  World again;
  again.data->state.program_folder = w.data->state.program_folder;
  Tyearplanform& fresh = again.windows().yearplanform();
  fresh.FormShow();
  EXPECT_FALSE(fresh.plan().has_value());
  EXPECT_TRUE(again.prompts.boxes.empty());
  EXPECT_TRUE(Control<QLabel>(fresh, "openfaults")->text().endsWith("bad.toml line 2: unknown key 'colour'"));
  EXPECT_EQ(Control<QPushButton>(fresh, "newplanbut"), fresh.focusWidget());
}

// The PC's short date form for a test: day/month/year, as a British office PC writes it.
class BritishDates {
 public:
  BritishDates() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom)); }
  ~BritishDates() { QLocale::setDefault(saved_); }

 private:
  QLocale saved_;
};

// The period dialog as she uses it: shown, its window active, keys typed into its fields.
class PeriodDialogTest : public YearPlanTest {
 protected:
  Tperiodform& open(const PlanPeriod& period = {}) {
    makePlan();
    Tperiodform& dialog = form().periodform();
    dialog.setPeriod(*form().plan(), period, kMorning.date());
    dialog.show();
    dialog.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
    dialog.FormShow();
    return dialog;
  }
  DateField* field(const char* name) { return Control<DateField>(form().periodform(), name); }
  // A field emptied by Ctrl+A and typed into, as a person does.
  void retype(QWidget* into, const QString& text) {
    into->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(into, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(into, text);
  }
  ~PeriodDialogTest() override { form().periodform().hide(); }

  BritishDates british;
};

TEST_F(PeriodDialogTest, ADateTypedWholeIsThatDateAndAnythingElseIsRefusedBesideIt) {
  Tperiodform& dialog = open();
  // Tab from the name into 'from', then type: the whole text is the date.
  QTest::keyClicks(QApplication::focusWidget(), "Mock exams");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  ASSERT_EQ(QApplication::focusWidget(), field("periodfrom"));
  QTest::keyClicks(field("periodfrom"), "2027-01-18");
  EXPECT_EQ(dialog.period().from, QDate(2027, 1, 18));
  retype(field("periodto"), "2027-06-07");
  EXPECT_EQ(dialog.period().to, QDate(2027, 6, 7));
  retype(field("periodto"), "22/01/2027");  // the PC's short date form
  EXPECT_EQ(dialog.period().to, QDate(2027, 1, 22));
  EXPECT_EQ(dialog.faultBeside(PeriodField::From), "");
  EXPECT_EQ(dialog.faultBeside(PeriodField::To), "");

  // What is no whole date is said beside the field and never stored as another date.
  for (const char* typed : {"2027-01", "2027-02-30", "18.1.27", "next Monday", ""}) {
    retype(field("periodfrom"), typed);
    EXPECT_FALSE(dialog.period().from.isValid()) << typed;
    EXPECT_EQ(dialog.faultBeside(PeriodField::From), kNotADateText.arg("from", "2026-10-23 or 23/10/2026")) << typed;
    EXPECT_EQ(dialog.faultBeside(PeriodField::To), "") << typed << ": no order of dates to judge";
    QTest::mouseClick(Control<QPushButton>(dialog, "periodok"), Qt::LeftButton);
    EXPECT_FALSE(dialog.result() == QDialog::Accepted) << typed;
  }

  // The calendar still pops up (F4), opens on the date typed and writes the day picked.
  retype(field("periodfrom"), "2027-01-18");
  QTest::keyClick(field("periodfrom"), Qt::Key_F4);
  QCalendarWidget* calendar = field("periodfrom")->calendar();
  ASSERT_NE(calendar, nullptr);
  EXPECT_TRUE(calendar->isVisible());
  EXPECT_EQ(calendar->selectedDate(), QDate(2027, 1, 18));
  emit calendar->clicked(QDate(2027, 1, 19));
  EXPECT_FALSE(calendar->isVisible());
  EXPECT_EQ(field("periodfrom")->text(), "2027-01-19");
  EXPECT_EQ(QApplication::focusWidget(), field("periodfrom"));
}

TEST_F(PeriodDialogTest, RefusalsFollowTheFieldsAsTheyChange) {
  Tperiodform& dialog = open();
  EXPECT_EQ(dialog.faultBeside(PeriodField::Name), "") << "nothing typed yet, nothing refused";
  retype(field("periodfrom"), "2027-05-10");
  retype(field("periodto"), "2027-05-01");
  EXPECT_EQ(dialog.faultBeside(PeriodField::To), "'to' 2027-05-01 is before 'from' 2027-05-10");
  EXPECT_EQ(dialog.faultBeside(PeriodField::Name), "") << "not touched yet";
  retype(field("periodto"), "2027-05-14");
  EXPECT_EQ(dialog.faultBeside(PeriodField::To), "");

  // At OK every refusal shows; each goes as its field is put right.
  QTest::mouseClick(Control<QPushButton>(dialog, "periodok"), Qt::LeftButton);
  EXPECT_EQ(dialog.faultBeside(PeriodField::Name), "'name' must be a text in quotes, not empty");
  EXPECT_EQ(dialog.faultBeside(PeriodField::Week), kNoWeekChosenText);
  retype(Control<QLineEdit>(dialog, "periodname"), "Exams");
  EXPECT_EQ(dialog.faultBeside(PeriodField::Name), "");
  EXPECT_EQ(dialog.faultBeside(PeriodField::Week), kNoWeekChosenText);
  QTest::mouseClick(Control<QRadioButton>(dialog, "periodnobells"), Qt::LeftButton);
  EXPECT_EQ(dialog.faultBeside(PeriodField::Week), "");
  QTest::mouseClick(Control<QRadioButton>(dialog, "periodwithweek"), Qt::LeftButton);
  EXPECT_EQ(dialog.faultBeside(PeriodField::Week), kNoWeekChosenText);
  w.prompts.file_answers = {files.file("exams.zmr")};
  QTest::mouseClick(Control<QPushButton>(dialog, "periodweekbut"), Qt::LeftButton);
  EXPECT_EQ(dialog.faultBeside(PeriodField::Week), "");
  QTest::mouseClick(Control<QPushButton>(dialog, "periodok"), Qt::LeftButton);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(PeriodDialogTest, TheWeekShowsItsFileNameWholeAndItsPathInTheTip) {
  ASSERT_TRUE(QDir(files.folder()).mkpath("weeks"));
  for (const char* name : {"weeks/Exam week 2026-27.zmr", "weeks/Usual week 2026-27.zmr"}) {
    QFile::copy(files.file("exams.zmr"), files.file(name));
  }
  Tperiodform& dialog = open();
  auto* week = Control<QLineEdit>(dialog, "periodweek");
  w.prompts.file_answers = {files.file("weeks/Exam week 2026-27.zmr")};
  QTest::mouseClick(Control<QPushButton>(dialog, "periodweekbut"), Qt::LeftButton);
  EXPECT_EQ(week->text(), "Exam week 2026-27.zmr");
  EXPECT_EQ(week->toolTip(), QDir::toNativeSeparators(files.file("weeks/Exam week 2026-27.zmr")));
  EXPECT_GE(week->width(), week->fontMetrics().horizontalAdvance(week->text())) << "the name in sight whole";
  EXPECT_EQ(dialog.period().week, "weeks/Exam week 2026-27.zmr") << "the plan still names the path";
}

// One wholly past is asked about when it is new or its dates changed; No keeps the
// dialog open, Yes stores it.
TEST_F(PeriodDialogTest, APeriodWhollyInThePastIsAskedAbout) {
  makePlan();
  const QString asked = kPastPeriodText.arg("Open day", "2026-09-05");
  bool accepted = true;
  w.prompts.answers = {BoxAnswer::No};
  periodAnswer("Open day", QDate(2026, 9, 1), QDate(2026, 9, 5), "exams.zmr", &accepted);
  click("addperiodbut");
  EXPECT_FALSE(accepted);
  ASSERT_EQ(w.prompts.boxes.size(), 1u);
  EXPECT_EQ(w.prompts.boxes[0].text, asked);
  EXPECT_EQ(w.prompts.boxes[0].kind, BoxKind::Warning);
  EXPECT_EQ(w.prompts.boxes[0].buttons, BoxButtons::YesNo);
  EXPECT_TRUE(written().periods.empty());
  w.prompts.answers = {BoxAnswer::Yes};
  periodAnswer("Open day", QDate(2026, 9, 1), QDate(2026, 9, 5), "exams.zmr", &accepted);
  click("addperiodbut");
  EXPECT_TRUE(accepted);
  EXPECT_EQ(w.prompts.texts(), (std::vector<QString>{asked, asked}));
  ASSERT_EQ(written().periods.size(), 1u);

  // Renamed, its dates as they were: not asked again. Today's last day is no past.
  control<QTableWidget>("periods")->selectRow(0);
  periodAnswer("Open days", QDate(2026, 9, 1), QDate(2026, 9, 5), "exams.zmr", &accepted);
  click("editperiodbut");
  periodAnswer("Today", QDate(2026, 10, 20), kMorning.date(), "", &accepted);
  click("addperiodbut");
  EXPECT_EQ(w.prompts.boxes.size(), 2u);
  EXPECT_EQ(periodNames(), (std::vector<std::string>{"Open days", "Today"}));
}

TEST_F(YearPlanTest, TheMonthsShowEachWeekInItsColourWithALegend) {
  files.write("north.toml",
              "week = \"normal.zmr\"\nholidays = [\"terms.ics\"]\n"
              "[[period]]\nname = \"Exam week\"\nfrom = 2026-11-09\nto = 2026-11-13\nweek = \"exams.zmr\"\n"
              "[[period]]\nname = \"Christmas holidays\"\nfrom = 2026-12-21\nto = 2027-01-03\nbells = false\n");
  form().FormShow();
  w.prompts.file_answers = {files.file("north.toml")};
  click("openplanbut");
  ASSERT_TRUE(form().plan().has_value());
  form().months().showPlan(&*form().plan(), kMorning.date(), QDate(2026, 10, 1));

  QStringList legend;
  for (QLabel* entry : control<QWidget>("legend")->findChildren<QLabel*>("legendentry")) {
    legend << entry->text() + " " + entry->palette().color(QPalette::Window).name();
  }
  const QColor usual = PlanColour(kWeekTints[0]), exams = PlanColour(kWeekTints[1]), none = PlanColour(kNoBellsTint),
               blank = PlanColour(kNoEventsTint);
  EXPECT_EQ(legend.mid(0, 4), (QStringList{"normal.zmr (usual week) " + usual.name(), "exams.zmr " + exams.name(),
                                           "No events that weekday " + blank.name(), "No bells " + none.name()}));
  EXPECT_EQ(legend.value(4).section(' ', 0, 0), "Today");
  const auto legend_entry = [&](int k) { return control<QWidget>("legend")->findChildren<QLabel*>("legendentry").value(k); };
  EXPECT_FALSE(legend_entry(2)->font().strikeOut()) << "a weekend is no holiday";
  EXPECT_TRUE(legend_entry(3)->font().strikeOut());

  // The weeks ring Monday to Friday: their weekends are blank, not struck like a holiday.
  struct Day {
    int month;  // 0: October, 1: November, 2: December
    QDate date;
    QColor colour;
    bool struck;
  } days[] = {
      {0, QDate(2026, 10, 23), usual, false}, {0, QDate(2026, 10, 26), none, true}, {0, QDate(2026, 10, 30), none, true},
      {0, QDate(2026, 10, 31), blank, false}, {1, QDate(2026, 11, 9), exams, false}, {1, QDate(2026, 11, 14), blank, false},
      {1, QDate(2026, 11, 13), exams, false}, {1, QDate(2026, 11, 16), usual, false}, {2, QDate(2026, 12, 21), none, true},
      {2, QDate(2026, 12, 26), none, true},   {2, QDate(2026, 12, 31), none, true},
  };
  for (const Day& d : days) {
    const QTextCharFormat f = form().months().month(d.month).dateTextFormat(d.date);
    EXPECT_EQ(f.background().color(), d.colour) << d.date.toString(Qt::ISODate).toStdString();
    EXPECT_EQ(f.fontStrikeOut(), d.struck) << d.date.toString(Qt::ISODate).toStdString();
  }
  EXPECT_EQ(form().months().month(0).dateTextFormat(kMorning.date()).fontWeight(), QFont::Bold) << "today";
  EXPECT_TRUE(form().months().month(0).dateTextFormat(kMorning.date()).fontUnderline());
  EXPECT_EQ(form().months().month(1).accessibleName(), QLocale().standaloneMonthName(11) + " 2026");
  form().dayClicked(QDate(2026, 11, 14));
  EXPECT_TRUE(control<QLabel>("daycause")->text().endsWith(": Usual week: normal.zmr, which has no events on a Saturday"))
      << control<QLabel>("daycause")->text().toStdString();

  // A click on a day says what decides it.
  form().show();
  QCalendarWidget& october = form().months().month(0);
  auto* view = october.findChild<QTableView*>();
  ASSERT_NE(view, nullptr);
  QModelIndex day27;
  for (int r = 0; r < view->model()->rowCount() && !day27.isValid(); ++r) {
    for (int c = 0; c < view->model()->columnCount(); ++c) {
      const QModelIndex i = view->model()->index(r, c);
      if (i.data().toString() == "27") day27 = i;
    }
  }
  ASSERT_TRUE(day27.isValid());
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(day27).center());
  EXPECT_TRUE(control<QLabel>("daycause")->text().endsWith(": Holiday from terms.ics: Half term"))
      << control<QLabel>("daycause")->text().toStdString();
  // Only the day picked looks selected; another month's selection wears its day's colour.
  EXPECT_EQ(form().months().month(1).palette().color(QPalette::Active, QPalette::Highlight), blank);  // Sunday 1st
  EXPECT_NE(october.palette().color(QPalette::Active, QPalette::Highlight), none);
  form().months().pick(QDate(2026, 11, 20));
  EXPECT_EQ(october.selectedDate(), kMorning.date()) << "where the keyboard starts";
  EXPECT_EQ(october.palette().color(QPalette::Active, QPalette::Highlight), usual);
  form().hide();
}

// Three months at a time from today's; back to today in one click; a new period starts
// on the day last clicked.
TEST_F(YearPlanTest, TheMonthsPageByThreeFromTodayAndANewPeriodStartsOnTheDayClicked) {
  makePlan();
  PlanMonths& months = form().months();
  EXPECT_EQ(months.firstMonth(), QDate(2026, 10, 1));
  click("laterbut");
  EXPECT_EQ(months.firstMonth(), QDate(2027, 1, 1));
  click("laterbut");
  click("earlierbut");
  EXPECT_EQ(months.firstMonth(), QDate(2027, 1, 1));
  EXPECT_EQ(months.month(2).accessibleName(), QLocale().standaloneMonthName(3) + " 2027");

  const auto period_starts = [&](QDate expected) {
    w.runner.scripts.push_back([=](ConsoleDialog& dialog) {
      EXPECT_EQ(Control<DateField>(dialog, "periodfrom")->date(), expected);
      EXPECT_EQ(Control<DateField>(dialog, "periodto")->date(), expected);
      dialog.reject();
    });
    click("addperiodbut");
  };
  months.pick(QDate(2027, 2, 15));
  period_starts(QDate(2027, 2, 15));

  click("todaybut");
  EXPECT_EQ(months.firstMonth(), QDate(2026, 10, 1));
  EXPECT_EQ(control<QLabel>("daycause")->text(),
            QLocale().toString(kMorning.date(), QLocale::LongFormat) + ": Usual week: normal.zmr");
  period_starts(kMorning.date());

  // Opened again: today's month, and no day picked from before.
  months.pick(QDate(2027, 2, 15));
  click("laterbut");
  form().FormShow();
  EXPECT_EQ(months.firstMonth(), QDate(2026, 10, 1));
  period_starts(kMorning.date());
}

// Without a plan the months are off; no day may look picked or like today but today.
TEST_F(YearPlanTest, WithoutAPlanNoDayLooksPicked) {
  form().FormShow();
  ASSERT_FALSE(form().plan().has_value());
  form().show();
  for (int k = 0; k < kPlanMonthsShown; ++k) {
    QCalendarWidget& month = form().months().month(k);
    EXPECT_FALSE(month.isEnabled());
    auto* view = month.findChild<QTableView*>();
    ASSERT_NE(view, nullptr);
    // The background of a day's cell as drawn, beside its number.
    const QImage drawn = view->viewport()->grab().toImage();
    const auto background = [&](const QString& day) {
      for (int r = 1; r < view->model()->rowCount(); ++r) {  // row 0: the day names
        for (int c = 0; c < view->model()->columnCount(); ++c) {
          const QModelIndex i = view->model()->index(r, c);
          if (i.data().toString() == day && (i.flags() & Qt::ItemIsEnabled)) {
            const QRect cell = view->visualRect(i);
            return drawn.pixelColor(cell.left() + 3, cell.top() + 3);
          }
        }
      }
      return QColor();
    };
    EXPECT_EQ(background("1"), background("2")) << "month " << k;
    EXPECT_EQ(background("23"), background("22")) << "month " << k;
  }
  // A plan opened: the day picked (today, where the selection rested) is drawn selected.
  makePlan();
  click("todaybut");
  QCalendarWidget& october = form().months().month(0);
  auto* view = october.findChild<QTableView*>();
  ASSERT_TRUE(view->selectionModel()->hasSelection());
  EXPECT_EQ(view->selectionModel()->selectedIndexes().value(0).data().toString(), "23");
  form().hide();
}

TEST_F(YearPlanTest, CheckTodayReadsTheTimerAndApplyNowBringsItToThePlan) {
  makePlan();
  click("checktodaybut");
  EXPECT_EQ(upkeepLines(), (std::vector<std::string>{
                               "Reading the timer on COM1 ...",
                               "would download normal.zmr (the plan's week): the timer is not known to hold it",
                               "would activate the timer: normal.zmr (the plan's week)"}));
  EXPECT_EQ(sim.timer.requests('W'), 0);
  EXPECT_FALSE(sim.port.isOpen()) << "the plan's port is given back";

  // While upkeep talks to the timer the buttons are off and Escape does not close the window.
  const Device timer = SimDevice(sim.timer);
  std::vector<bool> seen_enabled;
  form().show();
  sim.port.attach("COM1", [&](std::span<const std::uint8_t> request) {
    seen_enabled.push_back(control("applynowbut")->isEnabled() || control("closebut")->isEnabled());
    QTest::keyClick(&form(), Qt::Key_Escape);
    seen_enabled.push_back(!form().isVisible());
    return timer(request);
  });
  click("applynowbut");
  EXPECT_EQ(upkeepLines(), (std::vector<std::string>{"Reading the timer on COM1 ...",
                                                     "downloaded normal.zmr (the plan's week): the timer is not known to hold it",
                                                     "activated the timer: normal.zmr (the plan's week)"}));
  EXPECT_TRUE(sim.timer.activated());
  EXPECT_GT(sim.timer.requests('W'), 0);
  ASSERT_FALSE(seen_enabled.empty());
  EXPECT_EQ(std::count(seen_enabled.begin(), seen_enabled.end(), true), 0);
  EXPECT_TRUE(control("applynowbut")->isEnabled());
  EXPECT_TRUE(w.prompts.cursorBackBeforeEveryBox());
  EXPECT_GT(w.prompts.process_events_calls, 0) << "each line is shown as it comes";
  EXPECT_TRUE(w.prompts.boxes.empty());

  click("applynowbut");
  EXPECT_EQ(upkeepLines(), (std::vector<std::string>{"Reading the timer on COM1 ...", "nothing to do: normal.zmr (the plan's week), timer activated"}));

  // A port that leads nowhere: the usual port box; a silent timer: the timer box.
  auto* port = control<QComboBox>("portname");
  port->lineEdit()->selectAll();
  QTest::keyClicks(port->lineEdit(), "COM7");
  QTest::keyClick(port->lineEdit(), Qt::Key_Return);
  click("applynowbut");
  ASSERT_EQ(w.prompts.boxes.size(), 1u);
  EXPECT_EQ(w.prompts.boxes[0].kind, BoxKind::Error);
  EXPECT_EQ(w.prompts.boxes[0].text, PortErrorText(PortError(PortStep::Open, PortCause::NoDevice, "COM7")));
  port->setCurrentIndex(0);
  emit port->activated(0);
  sim.port.attach("COM1", SilentDevice());
  click("applynowbut");
  ASSERT_EQ(w.prompts.boxes.size(), 2u);
  EXPECT_EQ(w.prompts.boxes[1].text, kTimerNotFoundText);
  EXPECT_TRUE(w.prompts.cursorBackBeforeEveryBox());
  EXPECT_TRUE(control("applynowbut")->isEnabled());
  form().hide();
}

// Check and Apply act on the files as they are now, connect once, and the plan's last
// run stays in sight.
TEST_F(YearPlanTest, CheckAndApplyReadThePlanAfreshAndShowTheLastRun) {
  makePlan();
  auto* last_run = control<QLabel>("lastrun");
  EXPECT_EQ(last_run->text(), "No upkeep run of this plan is recorded yet.");
  sim.port.events.clear();
  click("applynowbut");
  EXPECT_EQ(std::count(sim.port.events.begin(), sim.port.events.end(), "open COM1"), 1) << "one connection";
  const QString when = sim.clock.now().toLocalTime().toString("yyyy-MM-dd HH:mm:ss");
  EXPECT_EQ(last_run->text(), "Upkeep's last run " + when + ": done (exit 0)");

  // The usual week edited in the editor since: Check today sees the new week.
  auto week = std::make_unique<ProjectSetup>();
  ResetProject(*week);
  AddPulse(*week, 2, 1, 10, 15, 4);
  WriteProject(files.file("normal.zmr"), *week);
  click("checktodaybut");
  EXPECT_EQ(upkeepLines(), (std::vector<std::string>{
                               "Reading the timer on COM1 ...",
                               "would download normal.zmr (the plan's week): the timer holds another week"}));

  // The plan file changed by hand: said, and shown as it is now.
  files.write("north.toml", files.read("north.toml") + "clock_tolerance = 45\n");
  click("checktodaybut");
  ASSERT_FALSE(upkeepLines().empty());
  EXPECT_EQ(upkeepLines().front(), kPlanChangedOnDiskText.toStdString());
  EXPECT_EQ(control<QSpinBox>("tolerance")->value(), 45);
  click("checktodaybut");
  EXPECT_EQ(upkeepLines().front(), "Reading the timer on COM1 ...") << "said once";

  // A failed run: the label says why, after the box.
  sim.port.attach("COM1", SilentDevice());
  click("applynowbut");
  EXPECT_EQ(last_run->text(), "Upkeep's last run " + sim.clock.now().toLocalTime().toString("yyyy-MM-dd HH:mm:ss") +
                                  ": timer failed (exit 5)\nerror: " + kTimerNotFoundText);
  ASSERT_EQ(w.prompts.boxes.size(), 1u);

  // A plan file broken on disk is refused before the timer is read.
  files.write("north.toml", "week = 3\n");
  const std::size_t writes = sim.port.writes.size();
  click("checktodaybut");
  ASSERT_EQ(w.prompts.boxes.size(), 2u);
  EXPECT_TRUE(w.prompts.boxes[1].text.startsWith("The plan cannot be used as it is:\n")) << w.prompts.boxes[1].text.toStdString();
  EXPECT_EQ(sim.port.writes.size(), writes);
}

// A term-date feed cut down to its holidays while its events are in sight: a file, then
// a web address read with the hourglass while the window keeps drawing, its copy used
// (and said) when the server is down.
TEST_F(YearPlanTest, TheCalendarDialogShowsWhichEventsCount) {
  makePlan();
  const auto rows = [](ConsoleDialog& dialog) {
    QStringList rows;
    const auto* table = Control<QTableWidget>(dialog, "calendarevents");
    for (int r = 0; r < table->rowCount(); ++r) {
      QStringList cells;
      for (int c = 0; c < table->columnCount(); ++c) cells << table->item(r, c)->text();
      rows << cells.join(" | ");
    }
    return rows;
  };
  const auto count = [](ConsoleDialog& dialog) { return Control<QLabel>(dialog, "calendarcount")->text(); };
  w.runner.scripts.push_back([&](ConsoleDialog& dialog) {
    EXPECT_EQ(count(dialog), kCalendarNotReadText);
    w.prompts.file_answers.push_back(files.file("terms.ics"));
    QTest::mouseClick(Control<QPushButton>(dialog, "calendarbrowsebut"), Qt::LeftButton);
    EXPECT_EQ(Control<QLineEdit>(dialog, "calendarsource")->text(), "terms.ics");
    EXPECT_EQ(rows(dialog), (QStringList{"Half term | 2026-10-26 | 5 | yes", "May Day | 2027-05-03 | 1 | yes"}));
    EXPECT_EQ(count(dialog), kCalendarCountText.arg(2).arg(2).arg("6 days"));
    QTest::keyClicks(Control<QPlainTextEdit>(dialog, "calendaronly"), "HALF");
    EXPECT_EQ(rows(dialog), (QStringList{"Half term | 2026-10-26 | 5 | yes", "May Day | 2027-05-03 | 1 | no"}));
    EXPECT_EQ(count(dialog), kCalendarCountText.arg(1).arg(2).arg("5 days"));
    QTest::mouseClick(Control<QPushButton>(dialog, "calendarok"), Qt::LeftButton);
  });
  click("addcalendarbut");
  EXPECT_EQ(written().holidays, (std::vector<HolidayCalendar>{{"terms.ics", {"HALF"}}}));
  auto* calendars = control<QListWidget>("calendars");
  ASSERT_EQ(calendars->count(), 1);
  EXPECT_EQ(calendars->item(0)->text(), "5 days: terms.ics (only: HALF)");

  // Changed: the dialog opens on the entry as it is; without words every event counts.
  calendars->setCurrentRow(0);
  w.runner.scripts.push_back([&](ConsoleDialog& dialog) {
    EXPECT_EQ(Control<QPlainTextEdit>(dialog, "calendaronly")->toPlainText(), "HALF");
    EXPECT_EQ(count(dialog), kCalendarCountText.arg(1).arg(2).arg("5 days"));
    Control<QPlainTextEdit>(dialog, "calendaronly")->clear();
    QTest::mouseClick(Control<QPushButton>(dialog, "calendarok"), Qt::LeftButton);
  });
  click("editcalendarbut");
  EXPECT_EQ(written().holidays, (std::vector<HolidayCalendar>{{"terms.ics", {}}}));
  bool accepted = true;
  calendarAnswer("terms.ics", {}, &accepted);
  click("addcalendarbut");
  EXPECT_FALSE(accepted);
  EXPECT_EQ(form().calendarform().faultBeside(CalendarField::Source), "calendar 'terms.ics' is in the plan already");

  // A web address: fetched while the window goes on drawing (its input waits), then kept.
  LocalHttpServer::Answer feed;
  feed.body = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:x\r\n"
              "BEGIN:VEVENT\r\nUID:1@s\r\nSUMMARY:INSET day\r\nDTSTART;VALUE=DATE:20261102\r\nEND:VEVENT\r\n"
              "BEGIN:VEVENT\r\nUID:2@s\r\nSUMMARY:Pupils return\r\nDTSTART;VALUE=DATE:20261103\r\nEND:VEVENT\r\n"
              "END:VCALENDAR\r\n";
  feed.delay = std::chrono::milliseconds(400);
  LocalHttpServer server(LocalHttpServer::Always(feed));
  const QString address = server.address("/feed.ics");
  int ticks = 0;
  w.runner.scripts.push_back([&](ConsoleDialog& dialog) {
    dialog.show();
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(20);
    auto* source = Control<QLineEdit>(dialog, "calendarsource");
    QTest::keyClicks(source, address);
    w.prompts.log.clear();
    QTest::keyClick(source, Qt::Key_Return);
    ticker.stop();
    EXPECT_EQ(w.prompts.log, (std::vector<std::string>{"busy", "idle"}));
    EXPECT_EQ(rows(dialog), (QStringList{"INSET day | 2026-11-02 | 1 | yes", "Pupils return | 2026-11-03 | 1 | yes"}));
    QTest::keyClicks(Control<QPlainTextEdit>(dialog, "calendaronly"), "inset");
    QTest::mouseClick(Control<QPushButton>(dialog, "calendarok"), Qt::LeftButton);
    dialog.hide();
  });
  click("addcalendarbut");
  EXPECT_GE(ticks, 5) << "the window's loop ran while the calendar was fetched";
  EXPECT_EQ(server.requests().size(), 1u) << "OK reads the copy just kept";
  EXPECT_EQ(written().holidays.back(), (HolidayCalendar{address, {"inset"}}));
  EXPECT_EQ(calendars->item(1)->text(), "1 day: " + address + " (only: inset)");
  EXPECT_FALSE(control<QLabel>("calendarwarnings")->isVisibleTo(&form()));

  // The server down: Check today reads the plan afresh, and the copy kept stands in.
  LocalHttpServer::Answer down;
  down.status = 503;
  down.reason = "Service Unavailable";
  server.answerWith(LocalHttpServer::Always(down));
  click("checktodaybut");
  const QString used = "calendar '" + address +
                       "' could not be fetched (the server answered 503 Service Unavailable); the copy kept from " +
                       kMorning.toString("yyyy-MM-dd HH:mm") + " (0 minutes old) is used";
  EXPECT_EQ(control<QLabel>("calendarwarnings")->text(), used);
  EXPECT_TRUE(control<QLabel>("calendarwarnings")->isVisibleTo(&form()));
  ASSERT_FALSE(upkeepLines().empty());
  EXPECT_EQ(upkeepLines().front(), "warning: north.toml line 1: " + used.toStdString());  // as the window writes plans
  EXPECT_EQ(calendars->item(1)->text(), "1 day: " + address + " (only: inset)");
}

TEST_F(YearPlanTest, TheJobLineSaysHowToTurnTheJobOn) {
  // A plan where the job looks for plans: what systemd says, and the command when it is off.
  form().setPlansFolder(QDir(files.folder()).absolutePath());
  struct Case {
    ServiceAnswer answer;
    const char* line_starts;
    QString command;
  } cases[] = {
      {{true, 0, "enabled"}, "The unattended job is on: zmr-upkeep@north.timer", ""},
      {{true, 1, "disabled"}, "The unattended job is off for this plan.", "sudo systemctl enable --now zmr-upkeep@north.timer"},
      {{false, 0, ""}, "Cannot tell whether the unattended job is on", "sudo systemctl enable --now zmr-upkeep@north.timer"},
  };
  for (const Case& c : cases) {
    form().setServiceQuery(std::make_shared<ScriptedSystemd>(c.answer));
    form().FormShow();
    if (!form().plan()) makePlan();
    EXPECT_TRUE(control<QLabel>("jobline")->text().startsWith(c.line_starts)) << control<QLabel>("jobline")->text().toStdString();
    EXPECT_EQ(control<QLineEdit>("jobcommand")->text(), c.command);
    EXPECT_EQ(control<QLineEdit>("jobcommand")->isVisibleTo(&form()), !c.command.isEmpty());
    EXPECT_EQ(control("jobcopybut")->isVisibleTo(&form()), !c.command.isEmpty());
  }
}

// A plan kept in the office's folder: the window offers exactly the install, copies it for
// the terminal, and says when the installed copy is no longer the plan being edited.
TEST_F(YearPlanTest, TheJobLineOffersTheInstallToCopyAndSaysWhenTheCopyDiffers) {
  TempDir root;
  const QString plans = PlansFolderUnder(root.folder());
  form().setPlansFolder(plans);
  makePlan();
  const QString command = "sudo zmrctl install " + files.file("north.toml");
  auto* line = control<QLabel>("jobline");
  EXPECT_EQ(line->text(), "This plan is not installed for the unattended job. To copy it with its files to " + plans +
                              " and turn the job on:");
  EXPECT_EQ(control<QLineEdit>("jobcommand")->text(), command);
  form().show();
  click("jobcopybut");
  EXPECT_EQ(w.prompts.clipboard, command);
  auto* note = form().findChild<TransientNote*>("note");
  ASSERT_NE(note, nullptr);
  EXPECT_EQ(note->text(), kCommandCopiedNote);
  EXPECT_TRUE(w.prompts.boxes.empty());

  auto install = [&] {
    InstallRequest request{files.file("north.toml"), "", root.folder(), "COM1", "", kMorning};
    ASSERT_EQ(InstallPlan(request).outcome, InstallOutcome::Installed);
    form().FormShow();
  };
  install();
  EXPECT_EQ(line->text(), "The unattended job is off for this plan. To turn it on:");
  EXPECT_EQ(control<QLineEdit>("jobcommand")->text(), command);

  periodAnswer("Exam week", QDate(2027, 5, 10), QDate(2027, 5, 14), "exams.zmr");
  click("addperiodbut");
  EXPECT_EQ(line->text(), "The installed copy of this plan (" + plans +
                              "/north.toml) differs from it in the periods. To install it again:");
  EXPECT_EQ(control<QLineEdit>("jobcommand")->text(), command);

  form().setServiceQuery(std::make_shared<ScriptedSystemd>(ServiceAnswer{true, 0, "enabled"}));
  install();
  EXPECT_EQ(line->text(), "The unattended job is on: zmr-upkeep@north.timer keeps the timer to the installed copy of "
                          "this plan every hour.");
  EXPECT_FALSE(control<QLineEdit>("jobcommand")->isVisibleTo(&form()));
  EXPECT_FALSE(control("jobcopybut")->isVisibleTo(&form()));
  form().hide();
}

// Every installed plan and the plan open here, a row each; where systemd does not run, said.
TEST_F(YearPlanTest, TheJobRowsShowEachInstalledPlanAndTheOpenOne) {
  TempDir root, service_state;
  const ScopedPortEnumerator adapter(std::make_shared<ListedPorts>(std::vector<SerialDevice>{
      {"/dev/ttyUSB0", "FT232R USB UART", "usb-FTDI_FT232R_USB_UART_A10K3XYZ-if00-port0", true}}));
  const QString plans = PlansFolderUnder(root.folder());
  form().setPlansFolder(plans);
  form().setServiceStateFolder(service_state.folder());
  auto systemd = std::make_shared<ScriptedSystemd>(ServiceAnswer{true, 0, "enabled"});
  const QDateTime next_hour = kMorning.addSecs(3600);
  systemd->shown["zmr-upkeep@south.timer"] = {{"NextElapseUSecRealtime", QString("@%1").arg(next_hour.toSecsSinceEpoch())}};
  form().setServiceQuery(systemd);
  files.write("south.toml", "port = \"tcp://Bells.South:4001\"\nweek = \"normal.zmr\"\n\n[[period]]\n"
                            "name = \"Half term\"\nfrom = 2026-10-26\nto = 2026-10-30\nbells = false\n");
  for (const char* plan : {"south.toml"}) {
    InstallRequest request{files.file(plan), "", root.folder(), "COM1", "", kMorning};
    ASSERT_EQ(InstallPlan(request).outcome, InstallOutcome::Installed);
  }
  // What the service recorded of south: the week it gave its timer, its last run.
  auto week = std::make_unique<ProjectSetup>();
  ASSERT_EQ(ReadProjectFile(files.file("normal.zmr"), *week, w.prompts), OpenOutcome::Opened);
  RecordDownload(service_state.folder(), TimerKeyOf("tcp://Bells.South:4001"), *week, kMorning.addSecs(-3600).toUTC());
  RecordUpkeepRun(service_state.folder(), {kMorning.addSecs(-3598).toUTC(), "/etc/zmr-console/plans/south.toml",
                                           UpkeepOutcome::TimerFailed, 5, {}});
  makePlan();
  QTableWidget& rows = *control<QTableWidget>("jobrows");
  auto row = [&](int r) {
    std::vector<std::string> cells;
    for (int c = 0; c < rows.columnCount(); ++c) cells.push_back(rows.item(r, c)->text().toStdString());
    return cells;
  };
  ASSERT_EQ(rows.rowCount(), 2);
  const std::string hour_ago = kMorning.addSecs(-3600).toString("yyyy-MM-dd HH:mm").toStdString();
  EXPECT_EQ(row(0), (std::vector<std::string>{"south", "tcp://bells.south:4001", "normal.zmr since " + hour_ago, "on",
                                              kMorning.addSecs(-3598).toString("yyyy-MM-dd HH:mm:ss").toStdString() +
                                                  ": timer failed (exit 5)",
                                              next_hour.toString("yyyy-MM-dd HH:mm:ss").toStdString(),
                                              "Mon 26 Oct: no bells (Half term)"}));
  EXPECT_EQ(row(1), (std::vector<std::string>{
                        "north (open here)", "COM1 (/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K3XYZ-if00-port0)",
                        "nothing recorded", "not installed", "none recorded", "none planned", "none within 2 years"}));
  EXPECT_FALSE(control<QLabel>("jobsnote")->isVisibleTo(&form()));

  // Installed, the open plan is its job's row.
  ASSERT_EQ(InstallPlan({files.file("north.toml"), "", root.folder(), "COM1", "", kMorning}).outcome,
            InstallOutcome::Installed);
  form().FormShow();
  ASSERT_EQ(rows.rowCount(), 2);
  EXPECT_EQ(rows.item(0, 0)->text(), "north (open here)");
  EXPECT_EQ(rows.item(0, 1)->text(), "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K3XYZ-if00-port0");
  EXPECT_EQ(rows.item(0, 3)->text(), "on");
  EXPECT_EQ(rows.item(1, 0)->text(), "south");

  systemd->runs = false;
  form().FormShow();
  EXPECT_EQ(rows.item(0, 3)->text(), "systemd does not run here");
  EXPECT_EQ(control<QLabel>("jobsnote")->text(), "systemd does not run on this PC: whether each job is on, and when it "
                                                 "runs next, cannot be known here.");
}

TEST_F(YearPlanTest, PrintAndPdfMakeTheNoticeOfTheTwelveMonthsFromTheFirstInSight) {
  auto printers = std::make_unique<FakePrinters>();
  FakePrinters& fake = *printers;
  form().setPrinters(std::move(printers));
  form().FormShow();
  EXPECT_FALSE(control("printplanbut")->isEnabled());
  EXPECT_FALSE(control("pdfplanbut")->isEnabled());
  makePlan();
  periodAnswer("Exam week", QDate(2027, 5, 10), QDate(2027, 5, 14), "exams.zmr");
  click("addperiodbut");
  ASSERT_TRUE(control("printplanbut")->isEnabled());
  click("laterbut");
  const QDate first = form().months().firstMonth();
  const QDate last = first.addMonths(11);
  const QString span = QStringLiteral("%1 %2 to %3 %4")
                           .arg(QLocale::c().standaloneMonthName(first.month()))
                           .arg(first.year())
                           .arg(QLocale::c().standaloneMonthName(last.month()))
                           .arg(last.year());
  const auto text_of = [&](const QString& pdf) { return QString::fromUtf8(RunTool("pdftotext", {"-layout", pdf, "-"})); };

  click("printplanbut");
  EXPECT_EQ(fake.log, std::vector<QString>{"preview: Year plan north"});
  ASSERT_EQ(fake.pages, (std::vector<int>{1, 1}));
  const QString previewed = files.file("previewed.pdf");
  WritePdfFile(previewed, fake.documents.front());
  EXPECT_TRUE(text_of(previewed).contains(span)) << text_of(previewed).toStdString();

  const QString pdf = files.file("staff room.pdf");
  w.prompts.file_answers.push_back(pdf);
  click("pdfplanbut");
  const FileDialogRequest& asked = w.prompts.file_requests.back();
  EXPECT_EQ(asked.caption, "Save Year Plan as PDF");
  EXPECT_EQ(asked.proposed_name, "north year plan.pdf");
  EXPECT_EQ(QFileInfo(asked.initial_folder).canonicalFilePath(), QFileInfo(files.folder()).canonicalFilePath());
  const QString text = text_of(pdf);
  for (const QString& words : {QStringLiteral("Year plan north"), span, QStringLiteral("normal.zmr (usual week)"),
                               QStringLiteral("Exam week"), QStringLiteral("Mon 10 May 2027")}) {
    EXPECT_TRUE(text.contains(words)) << words.toStdString() << "\n" << text.toStdString();
  }
  auto* note = form().findChild<TransientNote*>("note");
  ASSERT_NE(note, nullptr);
  EXPECT_EQ(note->text(), "The year plan was saved as staff room.pdf.");

  // Cancelled, nothing is written; a folder that is not there is said in a box.
  const std::size_t boxes = w.prompts.boxes.size();
  click("pdfplanbut");
  EXPECT_EQ(w.prompts.boxes.size(), boxes);
  w.prompts.file_answers.push_back(files.file("gone/notice.pdf"));
  click("pdfplanbut");
  ASSERT_EQ(w.prompts.boxes.size(), boxes + 1);
  EXPECT_EQ(w.prompts.boxes.back().kind, BoxKind::Error);
  EXPECT_EQ(w.prompts.boxes.back().text, "File not found.");
}

TEST_F(YearPlanTest, TabReachesEveryControlAndEscapeCloses) {
  makePlan();
  form().show();
  form().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
  control("newplanbut")->setFocus(Qt::TabFocusReason);
  QSet<QString> reached;
  for (int k = 0; k < 60; ++k) {
    reached << QApplication::focusWidget()->objectName();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  }
  for (const char* name : {"newplanbut", "openplanbut", "printplanbut", "pdfplanbut", "earlierbut", "laterbut", "usualweekbut", "tolerance", "portname",
                           "periods", "addperiodbut", "editperiodbut", "removeperiodbut", "upperiodbut", "downperiodbut",
                           "calendars", "addcalendarbut", "editcalendarbut", "removecalendarbut", "checktodaybut", "applynowbut",
                           "upkeeplines", "jobcommand", "jobcopybut", "jobrows", "closebut"}) {
    EXPECT_TRUE(reached.contains(name)) << name;
  }
  // A tolerance typed but not yet left is stored when Escape closes the window.
  auto* tolerance = control<QSpinBox>("tolerance");
  tolerance->setFocus(Qt::TabFocusReason);
  QTest::keyClick(tolerance, Qt::Key_Up);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  EXPECT_FALSE(form().isVisible());
  EXPECT_EQ(written().clock_tolerance, kDefaultClockTolerance + 1);
}

}  // namespace
}  // namespace zmr::testing
