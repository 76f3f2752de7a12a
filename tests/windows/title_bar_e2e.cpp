// The program under a real X server: the title bar says exactly the window's caption,
// with nothing added, for a project named on the command line with a relative path.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <cstdlib>

#include "project/settings.h"
#include "support/child_process.h"
#include "support/project_fixtures.h"
#include "support/temp_dir.h"
#include "support/x_display.h"

namespace zmr::testing {
namespace {

const QString kTimer = QStringLiteral(ZMR_BIN_DIR "/timer");

// Sets environment variables and the current folder for a program about to start, and
// puts them back.
class StartedFrom {
 public:
  StartedFrom(const QString& folder, const std::string& display) : folder_(QDir::currentPath()) {
    for (const char* name : {"DISPLAY", "QT_QPA_PLATFORM"}) {
      const char* value = std::getenv(name);
      saved_.emplace_back(name, value != nullptr ? std::optional<std::string>(value) : std::nullopt);
    }
    ::setenv("DISPLAY", display.c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    QDir::setCurrent(folder);
  }
  ~StartedFrom() {
    for (const auto& [name, value] : saved_) value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
    QDir::setCurrent(folder_);
  }
  StartedFrom(const StartedFrom&) = delete;
  StartedFrom& operator=(const StartedFrom&) = delete;

 private:
  QString folder_;
  std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

TEST(TitleBarE2E, TheWindowSystemIsToldTheCaptionAndNothingMore) {
  XDisplay display;
  TempDir dir;
  // A program folder of its own, so its timer.ini is this test's.
  QDir(dir.folder()).mkpath("program");
  const QString program = dir.file("program/timer");
  ASSERT_TRUE(QFile::copy(kTimer, program));
  const QString project = dir.file("Hall.zmr");
  WriteEmptyProject(project);

  std::unique_ptr<ChildProcess> timer;
  {
    const StartedFrom here(dir.folder(), display.name());
    timer = std::make_unique<ChildProcess>(program.toStdString(), std::vector<std::string>{"Hall.zmr"});
  }
  // The caption is "Zemra" until the project has opened: wait for the project's.
  const std::string id = display.waitForWindow("Zemra " + project.toStdString());
  ASSERT_FALSE(id.empty()) << "no main window with the project on " << display.name();
  const std::string caption = "\"Zemra " + project.toStdString() + '"';
  EXPECT_EQ(display.property(id, "_NET_WM_NAME"), "_NET_WM_NAME(UTF8_STRING) = " + caption);
  EXPECT_EQ(display.property(id, "WM_NAME"), "WM_NAME(STRING) = " + caption);
  // The desktop entry still knows the program (what the display name stood for).
  EXPECT_NE(display.property(id, "WM_CLASS").find("\"timer\""), std::string::npos);

  timer->stop();
  ProgramSettings settings;
  LoadSettings(settings, dir.folder() + "program/");
  EXPECT_EQ(settings.recent_projects[0].text(), project);
}

}  // namespace
}  // namespace zmr::testing
