#pragma once
// The program's windows, each created once, in a fixed order, main window first.
#include <QStringList>
#include <memory>

#include "ui/console.h"
#include "windows/mainform.h"

namespace zmr {

class Tnewprojectform;
class TStartupForm;
class Tprogramoptionsform;
class Taboutform;
class Tcompileform;
class Tstatusform;
class Tscheduleallform;
class Tprintscheduleform;
class Tyearplanform;

class ConsoleWindows {
 public:
  ConsoleWindows(Console& console, const QStringList& arguments);
  ~ConsoleWindows();

  TMainform& Mainform() { return *main_; }
  Tnewprojectform& newprojectform() { return *newproject_; }
  TStartupForm& StartupForm() { return *startup_; }
  Tprogramoptionsform& programoptionsform() { return *options_; }
  Taboutform& aboutform() { return *about_; }
  Tcompileform& compileform() { return *compile_; }
  Tstatusform& statusform() { return *status_; }
  Tscheduleallform& scheduleallform() { return *scheduleall_; }
  Tprintscheduleform& printscheduleform() { return *printschedule_; }
  Tyearplanform& yearplanform() { return *yearplan_; }

 private:
  Console& console_;
  std::unique_ptr<TMainform> main_;
  // The dialogs are children of the main window, which destroys them with itself.
  Tnewprojectform* newproject_ = nullptr;
  TStartupForm* startup_ = nullptr;
  Tprogramoptionsform* options_ = nullptr;
  Taboutform* about_ = nullptr;
  Tcompileform* compile_ = nullptr;
  Tstatusform* status_ = nullptr;
  Tscheduleallform* scheduleall_ = nullptr;
  Tprintscheduleform* printschedule_ = nullptr;
  // A window of its own beside the main window, not a child of it; it goes first.
  std::unique_ptr<Tyearplanform> yearplan_;
};

}  // namespace zmr
