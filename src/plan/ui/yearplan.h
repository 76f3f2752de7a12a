#pragma once
// The Year Plan window: the plan of this console's timer, seen as months of coloured
// days and edited control by control. Every change is checked as the plan reader would
// check the file, then the file is written whole; "Check today" and "Apply now" run
// upkeep against the timer.
#include <memory>
#include <optional>

#include "plan/plan_edit.h"
#include "plan/upkeep.h"
#include "plan/job_rows.h"
#include "plan/upkeep_job.h"
#include "ui/report_printers.h"
#include "ui/timer_dialog.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QWidget;

namespace Ui {
class Tyearplanform;
}

namespace zmr {

class JobTable;
class PlanMonths;
class Tcalendarform;
class Tperiodform;

class Tyearplanform : public TimerDialog {
 public:
  explicit Tyearplanform(Console& console, QWidget* parent = nullptr);
  ~Tyearplanform() override;

  void FormShow() override;
  // Stores a tolerance or port typed and not yet left; false (the window to the front, the
  // refusal beside the field) when the plan refuses it, or while the timer is talked to.
  bool mayCloseWithProgram() override;

  // Seams for tests: where upkeep keeps what each timer was given, how systemd is asked.
  void setStateFolder(const QString& folder) { state_folder_ = folder; }
  void setServiceQuery(std::shared_ptr<const ServiceQuery> query) { service_ = std::move(query); }
  void setPlansFolder(const QString& folder) { plans_folder_ = folder; }
  // Where the service keeps its records (the job rows read them where they may).
  void setServiceStateFolder(const QString& folder) { service_state_folder_ = folder; }
  // The print system the notice goes to.
  void setPrinters(std::unique_ptr<ReportPrinters> printers) { printers_ = std::move(printers); }

  // The handlers, by the control they belong to.
  void newplanbutClick();
  void openplanbutClick();
  void printplanbutClick();  // the twelve months from the first in sight, in the preview
  void pdfplanbutClick();    // the same as a PDF file
  void usualweekbutClick();
  void toleranceChanged();
  void portChanged();
  void addperiodbutClick();
  void editperiodbutClick();
  void removeperiodbutClick();
  void moveperiod(int by);  // -1 up, +1 down
  void addcalendarbutClick();
  void editcalendarbutClick();
  void removecalendarbutClick();
  void checktodaybutClick();
  void applynowbutClick();
  void jobcopybutClick();
  void dayClicked(QDate date);

  const std::optional<YearPlan>& plan() const { return plan_; }
  PlanMonths& months() { return *months_; }
  Tperiodform& periodform() { return *period_form_; }
  Tcalendarform& calendarform() { return *calendar_form_; }
  QDate today() const;

 protected:
  // Coming back from the main window: a week edited there is shown as it is now.
  void changeEvent(QEvent* event) override;

 private:
  void build();
  void showWeeksAsTheyAre();
  // The port as typed: empty for the stored port.
  std::optional<QString> typedPort() const;
  // The plan as now read, with what it was read from.
  void takePlan(YearPlan plan, const QByteArray& stamp);
  // Checks the changed plan as the reader would; writes it and shows it, or shows why not
  // in the label beside the part that changed (null: beside the every-day fields).
  bool store(const YearPlan& changed, QLabel* beside = nullptr);
  void clearFaults();
  bool openPlan(const QString& path, bool quiet);
  void showPlan();
  void showJob();
  void showJobRows();
  bool reloadPlan();
  void runUpkeep(bool dry_run);
  void showLastRun();
  QString settingsFolder() const;
  std::optional<QString> chooseFile(const QString& caption, const QString& filter);
  bool editPeriod(PlanPeriod& period);
  bool editCalendar(HolidayCalendar& entry, int replacing);
  // How the plan's web calendars are had: fetched again, or (while editing) from the
  // copies kept when there are any.
  CalendarAccess calendarAccess(bool fetch_again) const;
  int currentPeriod() const;

  Console& console_;
  std::unique_ptr<Ui::Tyearplanform> ui_;
  std::optional<YearPlan> plan_;
  QByteArray shown_stamp_;  // the plan file's contents as last read or written here
  QByteArray shown_weeks_;  // its weeks' contents, likewise
  QString state_folder_;
  std::shared_ptr<const ServiceQuery> service_;
  QString plans_folder_ = kPlansFolder;  // where the unattended job finds plans
  QString service_state_folder_ = kServiceStateFolder;
  std::unique_ptr<ReportPrinters> printers_ = MakeQtReportPrinters();
  Tperiodform* period_form_ = nullptr;
  Tcalendarform* calendar_form_ = nullptr;

  QLineEdit* plan_path_ = nullptr;
  PlanMonths* months_ = nullptr;
  QWidget* legend_ = nullptr;
  QLabel* day_cause_ = nullptr;
  QLineEdit* usual_week_ = nullptr;
  QSpinBox* tolerance_ = nullptr;
  QComboBox* port_ = nullptr;
  QTableWidget* periods_ = nullptr;
  QListWidget* calendars_ = nullptr;
  QPlainTextEdit* lines_ = nullptr;
  QLabel* last_run_ = nullptr;  // the plan's last recorded upkeep run
  QLabel* job_ = nullptr;
  QLineEdit* job_command_ = nullptr;
  JobTable* job_rows_ = nullptr;
  QLabel* faults_ = nullptr;           // beside the usual week, tolerance and port
  QLabel* calendar_faults_ = nullptr;  // beside the holiday calendars
  QLabel* calendar_warnings_ = nullptr;  // what the plan's calendars passed over or used instead
  QLabel* open_faults_ = nullptr;      // the plan file as a whole
  QWidget* plan_parts_ = nullptr;  // everything that needs a plan
};

inline const QString kPlanFilter = QStringLiteral("year plan (*.toml)|*.toml");
inline const QString kPlanRefusedText = QStringLiteral("The plan cannot be used as it is:\n%1");
inline const QString kNoPlanText = QStringLiteral("No plan is open: make a New one, or Open one.");
inline const QString kRemovePeriodText = QStringLiteral("Remove the period \"%1\" from the plan?");
inline const QString kRemoveCalendarText =
    QStringLiteral("Remove the holiday calendar \"%1\" from the plan? Its days get bells again.");
inline const QString kPickADayText = QStringLiteral("Click a day to see what decides it.");
inline const QString kCommandCopiedNote = QStringLiteral("The command is on the clipboard: paste it into a terminal.");
inline const QString kYearPlanWords = QStringLiteral("year plan");  // as the PDF's note names it
inline const QString kSaveYearPlanPdfCaption = QStringLiteral("Save Year Plan as PDF");
inline const QString kYearPlanBusyNote =
    QStringLiteral("The Year Plan window is talking to the timer: wait until it has finished.");
inline const QString kYearPlanReadingNote =
    QStringLiteral("The Year Plan window is reading the plan and its calendars: wait until it has finished.");
inline const QString kWeeksReadAgainNote =
    QStringLiteral("A week of the plan was changed since it was shown: it is shown as it is now.");
inline const QString kPlanChangedOnDiskText =
    QStringLiteral("The plan file has changed on disk since it was shown; it is read as it is now.");

}  // namespace zmr
