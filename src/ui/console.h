#pragma once
// What every window of the console is handed: the program's data, the Prompts seam,
// the way modal dialogs are shown, and the timer link.
#include <QDialog>
#include <QLabel>

#include "hardware/week_state.h"
#include "project/project_file.h"

namespace zmr {

class Prompts;
class TimerLink;

// A dialog created once and re-initialised by FormShow each time it is shown.
class ConsoleDialog : public QDialog {
 public:
  using QDialog::QDialog;
  virtual void FormShow() = 0;
  // A window of its own, open beside the main window when the program ends: true when it
  // may go now (what it holds is stored); false keeps the program running.
  virtual bool mayCloseWithProgram() { return true; }

 protected:
  // Showing a window forgets that the keyboard moved its focus; a console dialog
  // always draws where the keyboard is, from its first showing on.
  void showEvent(QShowEvent* event) override;
  // The fixed size the form was laid out at, and the picture strip down its left side.
  void fixFormAndStrip(QLabel& strip);
};

// Shows a dialog modally. The program runs the real event loop; tests drive the
// dialog's handlers instead, so nothing blocks.
class DialogRunner {
 public:
  virtual ~DialogRunner() = default;
  virtual void run(ConsoleDialog& dialog) = 0;
};

class ModalDialogRunner : public DialogRunner {
 public:
  void run(ConsoleDialog& dialog) override {
    dialog.FormShow();
    dialog.exec();
  }
};

// The schedule report's one entry, used by the main window and the schedule editor.
class ScheduleReport {
 public:
  virtual ~ScheduleReport() = default;
  // kReportPreview shows the print preview; any other mode prints at once.
  virtual void PrintScheduleReport(int mode) = 0;
  // The report as a PDF file, through the save dialog; false when cancelled.
  virtual bool SaveScheduleReportPdf() { return false; }
  // The week as a list, each day's events one per line: the same modes, and its PDF.
  virtual void PrintWeekList(int mode) { (void)mode; }
  virtual bool SaveWeekListPdf() { return false; }
};
inline constexpr int kReportPreview = 1;
inline constexpr int kReportPrint = 0;

struct Console {
  ConsoleData& data;
  Prompts& prompts;
  DialogRunner& runner;
  TimerLink* link = nullptr;  // the one port of the program; owned by whoever made the Console
  // The hidden report window, set once it is created (it comes last of the windows);
  // null while the program has no report.
  ScheduleReport* report = nullptr;
  // Where what each timer holds is recorded (week_state.h); tests put their own folder.
  QString state_folder = DefaultStateFolder();
};

}  // namespace zmr
