#include <gtest/gtest.h>

#include "support/recording_prompts.h"
#include "windows/qt_prompts.h"
#include "windows/zmr_application.h"

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
  EXPECT_FALSE(RunGuarded(prompts, [] { throw PortError("Unable to open com port", 2); }));
  EXPECT_TRUE(RunGuarded(prompts, [] {}));
  EXPECT_EQ(cleaned_up, 1);
  EXPECT_EQ(prompts.texts(),
            (std::vector<QString>{"File access denied.", "Unable to open com port (win error code: 2)"}));
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

}  // namespace
}  // namespace zmr::testing
