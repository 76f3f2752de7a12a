#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QKeyEvent>
#include <QLabel>
#include <QToolButton>
#include <QRegularExpression>
#include <cstring>

#include "base/errors.h"
#include "project/settings.h"
#include "project/summary_edit.h"
#include "windows/newproject.h"
#include "windows_world.h"

namespace zmr::testing {
namespace {

const QDate kToday(2004, 2, 17);

// A key typed into a widget, as the keyboard delivers it (event filters see it first).
void Type(QWidget* widget, int key, const QString& text = {}) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QApplication::sendEvent(widget, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
  QApplication::sendEvent(widget, &release);
}

void TypeText(QWidget* widget, const QString& text) {
  for (const QChar c : text) {
    Type(widget, Qt::Key_A + (c.toUpper().unicode() - 'A'), QString(c));
  }
}

struct PropertiesTest : ::testing::Test {
  PropertiesTest() {
    w.main().FormShow();
    form().setToday([] { return kToday; });
  }
  Tnewprojectform& form() { return w.windows().newprojectform(); }
  // Visible and active, so that the keyboard focus moves as it does for a person.
  void Shown() {
    form().FormShow();
    form().show();
    form().activateWindow();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::activeWindow(), &form());
  }
  QLineEdit* edit(const char* name) { return Control<QLineEdit>(form(), name); }
  QPushButton* button(const char* name) { return Control<QPushButton>(form(), name); }

  World w;
  TempDir projects;
};

TEST_F(PropertiesTest, NewProjectIsCreatedWhereTheSaveDialogSays) {
  const QString path = projects.file("Main Hall.zmr");
  w.prompts.file_answers.push_back(path);
  w.runner.scripts.push_back([&](ConsoleDialog&) {
    EXPECT_EQ(button("butnext")->text(), "NEXT >");
    EXPECT_TRUE(button("butnext")->isEnabled());
    EXPECT_EQ(Control<QLabel>(form(), "tip1")->text(), kPropertiesTip);
    edit("smTitle")->setText("Main Hall");
    edit("smAuthor")->setText("J. Smith");
    Control<QPlainTextEdit>(form(), "smComments")->setPlainText("Bells for\nthe school");
    form().butnextClick();
  });
  Control(w.main(), "New1")->trigger();

  EXPECT_EQ(w.runner.shown, std::vector<QString>{"newprojectform"});
  ASSERT_EQ(w.prompts.file_requests.size(), 1u);
  const FileDialogRequest& request = w.prompts.file_requests[0];
  EXPECT_EQ(request.proposed_name, "Main Hall");
  EXPECT_EQ(request.default_suffix, "zmr");
  EXPECT_EQ(request.filter, "project setup file (*.zmr)|*.zmr");
  EXPECT_EQ(request.initial_folder, "my documents");

  EXPECT_TRUE(w.data->state.project_open);
  EXPECT_EQ(w.main().windowTitle(), "Zemra: " + path);
  EXPECT_EQ(QFileInfo(path).size(), 95070);
  ProjectSetup stored{};
  const auto bytes = ReadBytes(path);
  std::memcpy(&stored, bytes.data(), sizeof stored);
  EXPECT_TRUE(HasProjectTags(stored));
  EXPECT_EQ(stored.summary.title.text(), "Main Hall");
  EXPECT_EQ(stored.summary.author.text(), "J. Smith");
  EXPECT_EQ(stored.summary.comments.text(), "Bells for\r\nthe school");
  EXPECT_EQ(stored.summary.summary_date.text(), SummaryDateText(kToday));
  EXPECT_TRUE(stored.slot(3, 7).isEmptyKind());

  // The recent list and the project folder follow, in memory and in timer.ini.
  ProgramSettings saved;
  LoadSettings(saved, w.dir.folder());
  EXPECT_EQ(saved.recent_projects[0].text(), path);
  EXPECT_EQ(saved.project_folder.text(), projects.folder());
  EXPECT_TRUE(Control(w.main(), "SaveAs1")->isEnabled());
  EXPECT_TRUE(Control(w.main(), "Close1")->isEnabled());
}

TEST_F(PropertiesTest, CancellingTheSaveDialogOrTheDialogStoresNothing) {
  w.runner.scripts.push_back([&](ConsoleDialog&) {
    edit("smTitle")->setText("Main Hall");
    form().butnextClick();  // the save dialog is cancelled: the properties dialog stays
    EXPECT_EQ(w.prompts.log.back(), "save-dialog");
    form().butcancelClick();
  });
  Control<QToolButton>(w.main(), "bignewbut")->click();
  EXPECT_FALSE(w.data->state.project_open);
  EXPECT_EQ(w.main().windowTitle(), "Zemra");
  EXPECT_TRUE(Control(w.main(), "New1")->isEnabled());
  EXPECT_TRUE(Control(w.main(), "Open1")->isEnabled());
  EXPECT_TRUE(w.data->settings.recent_projects[0].empty());
}

TEST_F(PropertiesTest, AFileThatCannotBeWrittenLeavesNoProjectOpen) {
  const QString path = projects.file("no such folder/Hall.zmr");
  w.prompts.file_answers.push_back(path);
  w.runner.scripts.push_back([&](ConsoleDialog&) { EXPECT_THROW(form().butnextClick(), IoError); });
  w.main().NewProject();
  EXPECT_FALSE(w.data->state.project_open);
  EXPECT_EQ(w.main().windowTitle(), "Zemra");
  EXPECT_TRUE(Control(w.main(), "New1")->isEnabled());
  EXPECT_EQ(w.data->state.project_path, path);  // the steps before the write took effect
}

TEST_F(PropertiesTest, TitlesWithPathOrExtensionCharactersAreRefused) {
  for (const char* title : {"Main.Hall", "a,b", "a/b", "a:b", "a\\b"}) {
    w.prompts.boxes.clear();
    w.runner.scripts.push_back([&](ConsoleDialog&) {
      edit("smTitle")->setText(QString::fromLatin1(title));
      form().butnextClick();
    });
    w.main().NewProject();
    ASSERT_EQ(w.prompts.boxes.size(), 1u) << title;
    EXPECT_EQ(w.prompts.boxes[0].text,
              "The project title cannot contain any of the following characters: \" : . / \\ , \"");
    EXPECT_EQ(w.prompts.boxes[0].kind, BoxKind::Error);
    EXPECT_TRUE(w.prompts.boxes[0].beeped);
    EXPECT_FALSE(w.data->state.project_open);
  }
  EXPECT_TRUE(w.prompts.file_requests.empty());
}

TEST_F(PropertiesTest, AnEmptyTitleProposesNoName) {
  w.runner.scripts.push_back([&](ConsoleDialog&) { form().butnextClick(); });
  w.main().NewProject();
  ASSERT_EQ(w.prompts.file_requests.size(), 1u);
  EXPECT_TRUE(w.prompts.file_requests[0].proposed_name.isEmpty());
  EXPECT_TRUE(w.prompts.boxes.empty());
}

TEST_F(PropertiesTest, PropertiesStoreTheSummaryOfTheOpenProjectWithoutASaveDialog) {
  const QString path = projects.file("Hall.zmr");
  ProjectSetup project{};
  ResetProject(project);
  AddPulse(project, 1, 1, 8, 5, 3);
  project.summary.subject.setText("Bells");
  WriteProject(path, project);
  w.data->state.project_path = path;
  ASSERT_EQ(OpenProjectFile(*w.data, w.prompts, w.main()), OpenOutcome::Opened);

  w.runner.scripts.push_back([&](ConsoleDialog&) {
    EXPECT_EQ(button("butnext")->text(), "CLOSE");
    EXPECT_EQ(edit("smSubject")->text(), "Bells");
    EXPECT_FALSE(edit("smSubject")->isReadOnly());
    form().butnextClick();  // nothing changed: still rewritten with today's date
  });
  Control(w.main(), "Properties1")->trigger();
  EXPECT_TRUE(w.data->state.properties_mode);
  EXPECT_TRUE(w.prompts.file_requests.empty());
  EXPECT_EQ(w.main().windowTitle(), "Zemra: " + path);
  ProjectSetup stored{};
  const auto bytes = ReadBytes(path);
  std::memcpy(&stored, bytes.data(), sizeof stored);
  EXPECT_EQ(stored.summary.summary_date.text(), SummaryDateText(kToday));
  EXPECT_EQ(stored.slot(1, 1).hour, 8);  // the schedule goes with it
}

TEST_F(PropertiesTest, AReadOnlyProjectShowsItsSummaryOnly) {
  const QString path = projects.file("Hall.zmr");
  ProjectSetup project{};
  ResetProject(project);
  project.summary.title.setText("Hall");
  WriteProject(path, project);
  ASSERT_EQ(chmod(QFile::encodeName(path).constData(), 0444), 0);
  w.data->state.project_path = path;
  ASSERT_EQ(OpenProjectFile(*w.data, w.prompts, w.main()), OpenOutcome::Opened);

  w.runner.scripts.push_back([&](ConsoleDialog&) {
    EXPECT_EQ(edit("smTitle")->text(), "Hall");
    EXPECT_FALSE(button("butnext")->isEnabled());
    EXPECT_EQ(button("butnext")->text(), "CLOSE");
    for (const char* name : {"smTitle", "smSubject", "smAuthor", "smManager", "smCompany", "smCategory", "smKeywords"}) {
      EXPECT_TRUE(edit(name)->isReadOnly()) << name;
    }
    EXPECT_TRUE(Control<QPlainTextEdit>(form(), "smComments")->isReadOnly());
    // They look it too: the window's colour, not the white of a field that takes typing.
    for (QWidget* field : form().findChildren<QWidget*>(QRegularExpression("^sm"))) {
      EXPECT_EQ(field->palette().color(QPalette::Base), field->palette().color(QPalette::Window))
          << field->objectName().toStdString();
    }
    form().butcancelClick();
  });
  Control(w.main(), "toolbutproperties")->trigger();
  EXPECT_TRUE(w.data->state.project_readonly);
  EXPECT_TRUE(w.data->state.project_open);

  // A writable project gives the fields their white back.
  ASSERT_EQ(chmod(QFile::encodeName(path).constData(), 0644), 0);
  w.main().CloseProject();
  w.runner.scripts.push_back([&](ConsoleDialog&) {
    EXPECT_NE(edit("smTitle")->palette().color(QPalette::Base), edit("smTitle")->palette().color(QPalette::Window));
    EXPECT_EQ(edit("smTitle")->palette().color(QPalette::Base), QApplication::palette(edit("smTitle")).color(QPalette::Base));
  });
  w.main().NewProject();
}

TEST_F(PropertiesTest, FieldsAreEmptiedAtEveryShowingAndLimitedWhileTyping) {
  w.runner.scripts.push_back([&](ConsoleDialog&) { edit("smKeywords")->setText("left over"); });
  w.main().NewProject();
  w.runner.scripts.push_back([&](ConsoleDialog&) {
    EXPECT_TRUE(edit("smKeywords")->text().isEmpty());
    EXPECT_EQ(edit("smTitle")->maxLength(), 99);
    auto* comments = Control<QPlainTextEdit>(form(), "smComments");
    comments->setPlainText(QString(300, u'c'));
    EXPECT_EQ(comments->toPlainText().size(), 254);
  });
  w.main().NewProject();
}

TEST_F(PropertiesTest, TextsLongerThanTypingAllowsSurviveTheDialogWhole) {
  // A file made elsewhere fills every field to its stored room: 100 and 255 characters.
  const QString path = projects.file("Full.zmr");
  ProjectSetup project{};
  ResetProject(project);
  for (auto* text : {&project.summary.title, &project.summary.subject, &project.summary.author,
                     &project.summary.manager, &project.summary.company, &project.summary.category,
                     &project.summary.keywords}) {
    text->setText(QString(100, u't'));
  }
  project.summary.comments.setText(QString(120, u'c') + "\r\n" + QString(133, u'd'));
  WriteProject(path, project);
  w.data->state.project_path = path;
  ASSERT_EQ(OpenProjectFile(*w.data, w.prompts, w.main()), OpenOutcome::Opened);

  w.runner.scripts.push_back([&](ConsoleDialog&) {
    EXPECT_EQ(edit("smKeywords")->text().size(), 100);
    TypeText(edit("smKeywords"), "x");  // typing still stops at the field's room
    EXPECT_EQ(edit("smKeywords")->text().size(), 100);
    form().butnextClick();
  });
  Control(w.main(), "Properties1")->trigger();
  ProjectSetup stored{};
  const auto bytes = ReadBytes(path);
  std::memcpy(&stored, bytes.data(), sizeof stored);
  EXPECT_EQ(stored.summary.title.text(), QString(100, u't'));
  EXPECT_EQ(stored.summary.keywords.text(), QString(100, u't'));
  EXPECT_EQ(stored.summary.comments.text(), project.summary.comments.text());
  EXPECT_EQ(stored.summary.comments.size(), 255u);

  // The next new project is limited as usual again.
  w.runner.scripts.push_back([&](ConsoleDialog&) {
    EXPECT_EQ(edit("smTitle")->maxLength(), 99);
    auto* comments = Control<QPlainTextEdit>(form(), "smComments");
    comments->setPlainText(QString(300, u'c'));
    EXPECT_EQ(comments->toPlainText().size(), 254);
    form().butcancelClick();
  });
  w.data->state.project_open = false;
  w.main().NewProject();
}

TEST_F(PropertiesTest, EnterMovesToTheNextFieldExceptInTheComments) {
  form().FormShow();
  form().show();
  form().activateWindow();
  QApplication::processEvents();
  ASSERT_EQ(QApplication::activeWindow(), &form());
  edit("smTitle")->setFocus();
  Type(edit("smTitle"), Qt::Key_Return, "\r");
  EXPECT_EQ(QApplication::focusWidget(), edit("smSubject"));
  EXPECT_TRUE(edit("smTitle")->text().isEmpty());

  auto* comments = Control<QPlainTextEdit>(form(), "smComments");
  comments->setFocus();
  TypeText(comments, "one");
  Type(comments, Qt::Key_Return, "\r");
  TypeText(comments, "two");
  EXPECT_EQ(QApplication::focusWidget(), comments);
  EXPECT_EQ(comments->toPlainText(), "one\ntwo");

  // From the last control the focus goes round to the first.
  button("butcancel")->setFocus();
  Type(button("butcancel"), Qt::Key_Return, "\r");
  EXPECT_EQ(QApplication::focusWidget(), edit("smTitle"));
  EXPECT_TRUE(form().isVisible());
  form().hide();
}

TEST_F(PropertiesTest, TabAndShiftTabMoveThroughTheDialogAndNoTabIsStored) {
  Shown();
  const QStringList order = {"smTitle",    "smSubject",  "smAuthor", "smManager", "smCompany",
                             "smCategory", "smKeywords", "smComments", "butnext", "butcancel"};
  edit("smTitle")->setFocus();
  for (qsizetype i = 1; i <= order.size(); ++i) {
    Type(QApplication::focusWidget(), Qt::Key_Tab, "\t");
    EXPECT_EQ(QApplication::focusWidget()->objectName(), order[i % order.size()]) << "Tab " << i;
  }
  auto* comments = Control<QPlainTextEdit>(form(), "smComments");
  comments->setFocus();
  QKeyEvent back(QEvent::KeyPress, Qt::Key_Backtab, Qt::ShiftModifier);
  QApplication::sendEvent(comments, &back);
  EXPECT_EQ(QApplication::focusWidget(), edit("smKeywords"));
  EXPECT_TRUE(comments->toPlainText().isEmpty()) << "Tab typed nothing";

  // Pasted tabs become blanks, in the memo at once and in every field when stored.
  comments->insertPlainText("Bells\tat eight");
  EXPECT_EQ(comments->toPlainText(), "Bells at eight");
  edit("smTitle")->setText("Main\tHall");
  const QString path = projects.file("Main Hall.zmr");
  w.prompts.file_answers.push_back(path);
  form().butnextClick();
  form().hide();
  ASSERT_TRUE(w.data->state.project_open);
  ProjectSetup stored{};
  const auto bytes = ReadBytes(path);
  ASSERT_EQ(bytes.size(), sizeof stored);
  std::memcpy(&stored, bytes.data(), sizeof stored);
  EXPECT_EQ(stored.summary.title.text(), "Main Hall");
  EXPECT_EQ(stored.summary.comments.text(), "Bells at eight");
}

}  // namespace
}  // namespace zmr::testing
