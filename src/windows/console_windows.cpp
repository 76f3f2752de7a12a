#include "windows/console_windows.h"

#include "editor/ui/scheduleall.h"
#include "windows/about.h"
#include "windows/newproject.h"
#include "windows/programoptions.h"
#include "windows/start_up.h"

namespace zmr {

ConsoleWindows::ConsoleWindows(Console& console, const QStringList& arguments)
    : main_(std::make_unique<TMainform>(console, arguments)) {
  newproject_ = new Tnewprojectform(console, *main_, main_.get());
  startup_ = new TStartupForm(console, main_.get());
  options_ = new Tprogramoptionsform(console, main_.get());
  about_ = new Taboutform(console, main_.get());
  // Tcompileform and Tstatusform join here, before the schedule editor, and
  // Tprintscheduleform after it, when they become part of the program; until then their
  // commands stay unavailable in the main window.
  scheduleall_ = new Tscheduleallform(console, main_.get());
  MainDialogs dialogs;
  dialogs.properties = newproject_;
  dialogs.welcome = startup_;
  dialogs.options = options_;
  dialogs.about = about_;
  dialogs.schedule = scheduleall_;
  main_->setDialogs(dialogs);
}

ConsoleWindows::~ConsoleWindows() = default;

}  // namespace zmr
