#pragma once
// A fresh console for each window test: its own folder as the program folder, the
// recording Prompts, and a dialog runner that drives dialogs without blocking.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <array>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "support/project_fixtures.h"
#include "support/recording_prompts.h"
#include "support/temp_dir.h"
#include "ui/console.h"
#include "windows/console_windows.h"

namespace zmr::testing {

// A control by its name; fails the test when it is missing.
template <typename T = QAction>
T* Control(const QObject& root, const char* name) {
  T* found = root.findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(found, nullptr) << "no control " << name;
  return found;
}

// One QApplication for the whole test program (gtest_main owns main()). It is ended by
// a test environment, before static destruction, where Qt can no longer clean up.
class ApplicationEnvironment : public ::testing::Environment {
 public:
  QApplication& app() {
    if (!app_) {
      app_ = std::make_unique<QApplication>(argc_, argv_.data());
    }
    return *app_;
  }
  void TearDown() override { app_.reset(); }

 private:
  int argc_ = 1;
  char name_[18] = "zmr_windows_tests";
  std::array<char*, 2> argv_{name_, nullptr};
  std::unique_ptr<QApplication> app_;
};

inline QApplication& TestApplication() {
  // gtest owns the environment once it is added.
  static ApplicationEnvironment* const environment = static_cast<ApplicationEnvironment*>(
      ::testing::AddGlobalTestEnvironment(std::make_unique<ApplicationEnvironment>().release()));
  return environment->app();
}

// Shows a dialog the way the program does, but runs a script instead of an event loop.
class ScriptedRunner : public DialogRunner {
 public:
  using Script = std::function<void(ConsoleDialog&)>;
  std::vector<QString> shown;  // objectName of each dialog shown, in order
  std::deque<Script> scripts;  // one per showing; none: the dialog is left at once

  void run(ConsoleDialog& dialog) override {
    shown.push_back(dialog.objectName());
    dialog.FormShow();
    if (!scripts.empty()) {
      Script script = std::move(scripts.front());
      scripts.pop_front();
      script(dialog);
    }
  }
};

struct World {
  explicit World(QStringList arguments = {}, TimerLink* link = nullptr)
      : link_(link), arguments_(std::move(arguments)) {
    TestApplication();
  }

  // Creates the windows; the settings are loaded by the main window's FormShow.
  ConsoleWindows& windows() {
    if (!windows_) {
      windows_ = std::make_unique<ConsoleWindows>(console, arguments_);
    }
    return *windows_;
  }
  TMainform& main() { return windows().Mainform(); }
  // Start-up as the program does it when the main window is first shown.
  TMainform& started() {
    main().FormShow();
    return main();
  }
  QString iniPath() const { return dir.file(QStringLiteral("timer.ini")); }

  TimerLink* link_;
  TempDir dir;
  std::unique_ptr<ConsoleData> data = MakeConsoleData(dir.folder());
  RecordingPrompts prompts;
  ScriptedRunner runner;
  Console console{*data, prompts, runner, link_, nullptr, dir.file(QStringLiteral("state"))};

 private:
  QStringList arguments_;
  std::unique_ptr<ConsoleWindows> windows_;
};

}  // namespace zmr::testing
