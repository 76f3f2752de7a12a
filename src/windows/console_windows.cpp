#include "windows/console_windows.h"

#include "hardware/ui/compile.h"
#include "hardware/ui/status.h"
#include "plan/ui/yearplan.h"
#include "editor/ui/scheduleall.h"
#include "report/ui/printschedule.h"
#include "windows/about.h"
#include "windows/newproject.h"
#include "windows/programoptions.h"
#include "windows/start_up.h"

namespace zmr {

ConsoleWindows::ConsoleWindows(Console& console, const QStringList& arguments)
    : console_(console), main_(std::make_unique<TMainform>(console, arguments)) {
  newproject_ = new Tnewprojectform(console, *main_, main_.get());
  startup_ = new TStartupForm(console, main_.get());
  options_ = new Tprogramoptionsform(console, main_.get());
  about_ = new Taboutform(console, main_.get());
  compile_ = new Tcompileform(console, main_.get());
  status_ = new Tstatusform(console, main_.get());
  scheduleall_ = new Tscheduleallform(console, main_.get());
  yearplan_ = std::make_unique<Tyearplanform>(console);
  // The report window comes last of all.
  printschedule_ = new Tprintscheduleform(console, main_.get());
  console.report = printschedule_;
  MainDialogs dialogs;
  dialogs.properties = newproject_;
  dialogs.welcome = startup_;
  dialogs.options = options_;
  dialogs.about = about_;
  dialogs.compile = compile_;
  dialogs.status = status_;
  dialogs.schedule = scheduleall_;
  dialogs.yearplan = yearplan_.get();
  main_->setDialogs(dialogs);
}

ConsoleWindows::~ConsoleWindows() {
  // The report window goes with the main window; nobody may reach it afterwards.
  console_.report = nullptr;
}

}  // namespace zmr
