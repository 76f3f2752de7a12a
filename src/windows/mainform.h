#pragma once
// The main window: menus, tool bar, big buttons, the project commands and start-up.
#include <QMainWindow>
#include <QStringList>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>

#include "project/project_file.h"
#include "ui/console.h"

namespace Ui {
class TMainform;
}
class QAction;

namespace zmr {

// The dialogs the main window shows. A window that is not part of the program yet is
// null, and every command that would show it stays unavailable.
struct MainDialogs {
  ConsoleDialog* properties = nullptr;  // Tnewprojectform
  ConsoleDialog* welcome = nullptr;     // TStartupForm
  ConsoleDialog* options = nullptr;     // Tprogramoptionsform
  ConsoleDialog* about = nullptr;       // Taboutform
  ConsoleDialog* compile = nullptr;     // Tcompileform
  ConsoleDialog* status = nullptr;      // Tstatusform
  ConsoleDialog* schedule = nullptr;    // Tscheduleallform
  ConsoleDialog* yearplan = nullptr;    // Tyearplanform
};

class TMainform : public QMainWindow, public ProjectView {
 public:
  // `arguments`: the command line after the program's name.
  TMainform(Console& console, QStringList arguments, QWidget* parent = nullptr);
  ~TMainform() override;

  void setDialogs(const MainDialogs& dialogs);
  Ui::TMainform& ui() { return *ui_; }
  QTimer& Timer1() { return timer1_; }

  // ProjectView
  void setCaption(const QString& caption) override;
  void RefreshMainMenu() override;

  // Start-up, run once when the window is first shown.
  void FormShow();
  void Timer1Timer();
  // True when the window may close.
  bool FormCloseQuery();

  // Project commands.
  void NewProject();
  void OpenProject();
  void CloseProject();
  void ShowProperties();
  void OpenRecent(int k);  // 1..5
  void clearhistorylistClick();
  void Help2Click();

  // The names the menu items, tool buttons and big buttons are bound by.
  void New1Click() { NewProject(); }
  void toolbutnewClick() { NewProject(); }
  void bignewbutClick() { NewProject(); }
  void Open1Click() { OpenProject(); }
  void toolbutopenClick() { OpenProject(); }
  void bigopenbutClick() { OpenProject(); }
  void Close1Click() { CloseProject(); }
  void toolbutcloseClick() { CloseProject(); }
  void Properties1Click() { ShowProperties(); }
  // The open project under a new name, opened in its place.
  void SaveAs1Click();
  void toolbutpropertiesClick() { ShowProperties(); }
  // The week as a CSV file: export while a project is open, import while it is editable.
  void ExportSchedule1Click();
  void ImportSchedule1Click();
  void Exit1Click();
  void Ports1Click();
  void About1Click();

  // The schedule report (Console::report): preview, print, PDF.
  void printpreviewClick();
  void toolbutpreviewClick() { printpreviewClick(); }
  void printprintClick();
  void toolbutprintClick() { printprintClick(); }
  void printpdfClick();
  // The week as a list beside it: preview, print, PDF.
  void listpreviewClick();
  void listprintClick();
  void listpdfClick();

  // Activation: silent on success from the menu, a beep on success from the tool bar.
  void Activate1Click();
  void Deactivate1Click();
  void ActivateButClick();
  void DeactivateButClick();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void FormCreate();
  void connectCommands();
  void showDialog(ConsoleDialog* dialog);
  // A window of its own (not modal), shown once; asked again, it comes to the front.
  void showWindow(ConsoleDialog* window);
  std::array<QAction*, kRecentProjects> recentEntries() const;
  // New, Open and the recent entries are always offered, Save As with a project.
  void refreshProjectChoice(bool open);
  // A command of the schedule report, when the program has one.
  void withReport(const std::function<void(ScheduleReport&)>& command);
  // New and Open while a project is open close it first, asking as Close does; false
  // when it stays open.
  bool closeBeforeAnother();

  Console& console_;
  QStringList arguments_;
  std::unique_ptr<Ui::TMainform> ui_;
  MainDialogs dialogs_;
  QTimer timer1_;
  bool shown_once_ = false;
};

// "&k " + the file name part of a recent entry; an '&' in the name is doubled so that
// it shows as itself instead of making an access key.
QString RecentEntryCaption(int k, const QString& path);

inline const QString kCloseChangedText = QStringLiteral(
    "The current project has changed, but was not downloaded, are you sure you want to close the project?");
inline const QString kExitChangedText = QStringLiteral(
    "The current project has changed, but was not downloaded.\r\n"
    "Are you sure you want to exit without downloading the current Project?");

}  // namespace zmr
