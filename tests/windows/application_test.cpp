#include <gtest/gtest.h>

#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "support/recording_prompts.h"
#include "windows_world.h"
#include "ui/qt_prompts.h"
#include "ui/zmr_application.h"

namespace zmr::testing {
namespace {

TEST(GeneralErrorBox, ShowsWhatEscapedAHandlerWithTheFullStopRule) {
  RecordingPrompts prompts;
  int cleaned_up = 0;
  struct CleanUp {
    int& count;
    ~CleanUp() { ++count; }
  };
  EXPECT_FALSE(RunGuarded(prompts, [&] {
    CleanUp guard{cleaned_up};
    throw IoError("File access denied");
  }));
  EXPECT_FALSE(RunGuarded(prompts, [] { throw PortError(PortStep::Read, PortCause::OsError, {}, {}, EIO); }));
  EXPECT_FALSE(RunGuarded(prompts, [] {
    throw PortError(PortStep::Open, PortCause::Busy, "COM1", "/dev/ttyUSB0", EBUSY);
  }));
  EXPECT_TRUE(RunGuarded(prompts, [] {}));
  EXPECT_EQ(cleaned_up, 1);
  EXPECT_EQ(prompts.texts(),
            (std::vector<QString>{"File access denied.", "ReadFile function failed (win error code: 5)",
                                  "Unable to open com port (win error code: 16)\n"
                                  "Another program is using /dev/ttyUSB0. Close it, then try again."}));
  EXPECT_EQ(prompts.boxes[0].kind, BoxKind::Error);
  EXPECT_EQ(prompts.boxes[0].buttons, BoxButtons::Ok);
}

TEST(QtPromptsTranslation, FiltersAndShellTargets) {
  EXPECT_EQ(QtFileFilter("project setup file (*.zmr)|*.zmr"), "project setup file (*.zmr)");
  EXPECT_EQ(QtFileFilter("text|*.txt|all files (*)|*"), "text (*.txt);;all files (*)");
  EXPECT_EQ(ShellUrl("/opt/zmr/HTMLHelp/default.htm"), QUrl::fromLocalFile("/opt/zmr/HTMLHelp/default.htm"));
  EXPECT_EQ(ShellUrl("mailto:support@zmr-console.example").scheme(), "mailto");
  EXPECT_EQ(ShellUrl("https://zmr-console.example").host(), "zmr-console.example");
}

// Answers the box that QtPrompts is about to show, once the event loop shows it.
void AnswerNextBox(QMessageBox::StandardButton button, QString* caption, QMessageBox::Icon* icon) {
  QTimer::singleShot(0, [=] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    *caption = box->windowTitle();
    *icon = box->icon();
    box->button(button)->click();
  });
}

TEST(QtPromptsBoxes, CaptionIconAndAnswerFollowTheRequest) {
  TestApplication();
  QtPrompts prompts;
  QString caption;
  QMessageBox::Icon icon{};
  AnswerNextBox(QMessageBox::No, &caption, &icon);
  EXPECT_EQ(prompts.message(BoxKind::Warning, "Sure?", BoxButtons::YesNo), BoxAnswer::No);
  EXPECT_EQ(caption, "ZMR Console");
  EXPECT_EQ(icon, QMessageBox::Warning);
  AnswerNextBox(QMessageBox::Yes, &caption, &icon);
  EXPECT_EQ(prompts.message(BoxKind::Warning, "Sure?", BoxButtons::YesNo), BoxAnswer::Yes);
  AnswerNextBox(QMessageBox::Ok, &caption, &icon);
  EXPECT_EQ(prompts.message(BoxKind::Error, "File not found.", BoxButtons::Ok), BoxAnswer::Ok);
  EXPECT_EQ(icon, QMessageBox::Critical);
  AnswerNextBox(QMessageBox::Ok, &caption, &icon);
  prompts.message(BoxKind::Information, "Found", BoxButtons::Ok);
  EXPECT_EQ(icon, QMessageBox::Information);
}

}  // namespace
}  // namespace zmr::testing
