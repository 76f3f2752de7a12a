// What a newcomer meets first: the big tiles, where the keyboard starts in each dialog,
// texts that fit, file dialogs and help on a machine without a browser.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QAbstractFileIconProvider>
#include <QDir>
#include <QHeaderView>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

#include "hardware/ui/status.h"
#include "project/summary_edit.h"
#include "windows/about.h"
#include "ui/artwork.h"
#include "ui/help_window.h"
#include "windows/newproject.h"
#include "windows/programoptions.h"
#include "ui/qt_prompts.h"
#include "windows/start_up.h"
#include "ui/field_looks.h"
#include "windows_world.h"

namespace zmr::testing {
namespace {

void Click(QWidget* widget, QPoint at) {
  for (const auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
    QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
  }
}

void PressKey(QWidget* widget, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(widget, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
  QApplication::sendEvent(widget, &release);
}

// The brightest grey level in a part of a picture: bright text and paper stand out.
int Brightest(const QImage& image, QRect part) {
  int brightest = 0;
  for (int y = part.top(); y <= part.bottom(); ++y) {
    for (int x = part.left(); x <= part.right(); ++x) {
      brightest = std::max(brightest, qGray(image.pixel(x, y)));
    }
  }
  return brightest;
}

int MeanGrey(const QImage& image, QRect part) {
  long long sum = 0;
  for (int y = part.top(); y <= part.bottom(); ++y) {
    for (int x = part.left(); x <= part.right(); ++x) {
      sum += qGray(image.pixel(x, y));
    }
  }
  return static_cast<int>(sum / (part.width() * part.height()));
}

TEST(BigTiles, PictureAndCaptionAreOneButtonThatGreysWhenUnavailable) {
  World w;
  TMainform& main = w.started();
  EXPECT_EQ(Control<QToolButton>(main, "bignewbut")->text(), "New project");
  // The schedule's tile, which is there while a project is open.
  w.data->state.project_open = true;
  main.RefreshMainMenu();
  auto* tile = Control<QToolButton>(main, "bigtriggerdetailsbut");
  EXPECT_EQ(tile->text(), "Schedule details");
  EXPECT_EQ(tile->statusTip(), "Open and show Trigger Details");
  EXPECT_EQ(tile->accessibleDescription(), "Open and show Trigger Details");
  const QRect picture(8, 8, 96, 96);
  const QRect caption(kBigButtonSize + 4, 40, tile->width() - kBigButtonSize - 12, 32);
  Click(tile, picture.center());
  Click(tile, caption.center());
  EXPECT_EQ(w.runner.shown, (std::vector<QString>{"scheduleallform", "scheduleallform"}));

  main.layout()->activate();  // the tool bar and menu take their room above the tiles
  const auto look = [&] { return main.grab(QRect(tile->mapTo(&main, QPoint(0, 0)), tile->size())).toImage(); };
  const QImage enabled = look();
  tile->setAttribute(Qt::WA_UnderMouse, true);
  tile->style()->polish(tile);
  const QImage hovered = look();
  tile->setAttribute(Qt::WA_UnderMouse, false);
  w.data->state.project_open = false;
  main.RefreshMainMenu();
  ASSERT_FALSE(tile->isEnabled());
  const QImage disabled = look();
  Click(tile, caption.center());
  EXPECT_EQ(w.runner.shown.size(), 2u) << "an unavailable tile ignores clicks";

  EXPECT_NE(hovered, enabled) << "hovering changes the tile's look";
  // Both halves of the tile grey out: the caption's letters and the picture's paper.
  EXPECT_GT(Brightest(enabled, caption), 200);
  EXPECT_LT(Brightest(disabled, caption), 140);
  EXPECT_LT(MeanGrey(disabled, picture), MeanGrey(enabled, picture) * 3 / 4);
}

// Shows a dialog as the program does, without blocking: FormShow, then visible and active.
template <typename Dialog>
Dialog& Shown(Dialog& dialog) {
  dialog.FormShow();
  dialog.show();
  dialog.activateWindow();
  QApplication::processEvents();
  return dialog;
}

TEST(DialogKeyboard, EachDialogStartsOnItsFirstQuestionAndEnterLeavesByItsDefaultButton) {
  World w;
  w.started();
  struct Case {
    ConsoleDialog* dialog;
    const char* first_focus;
    const char* default_button;  // nullptr: Enter moves on instead
  };
  const Case cases[] = {
      {&w.windows().StartupForm(), "portused1", "butcancel"},
      {&w.windows().programoptionsform(), "selectcomms1", "butcancel"},
      {&w.windows().aboutform(), "Button1", "Button1"},
      {&w.windows().newprojectform(), "smTitle", nullptr},
      {&w.windows().statusform(), "Button3", "Button3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dialog->objectName().toStdString());
    ConsoleDialog& dialog = Shown(*c.dialog);
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    EXPECT_EQ(focus->objectName(), c.first_focus);
    if (c.default_button == nullptr) {
      for (auto* button : dialog.findChildren<QPushButton*>()) {
        EXPECT_FALSE(button->isDefault()) << button->objectName().toStdString();
      }
      dialog.hide();
      continue;
    }
    EXPECT_TRUE(Control<QPushButton>(dialog, c.default_button)->isDefault());
    // A focused choice is drawn as such: the window knows the keyboard moved the focus.
    EXPECT_TRUE(dialog.testAttribute(Qt::WA_KeyboardFocusChange));
    PressKey(focus, Qt::Key_Return);
    EXPECT_FALSE(dialog.isVisible()) << "Enter closes the dialog";
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
  }
  // Space on the welcome dialog's first focus picks a port; it does not switch the dialog off.
  TStartupForm& welcome = Shown(w.windows().StartupForm());
  PressKey(QApplication::focusWidget(), Qt::Key_Space);
  EXPECT_FALSE(Control<QCheckBox>(welcome, "CheckBox1")->isChecked());
  EXPECT_EQ(w.data->settings.show_welcome, 1);
  welcome.hide();
}

TEST(DialogKeyboard, TheAboutLinksAnswerTheKeyboardAndSayWhatCouldNotBeOpened) {
  World w;
  w.started();
  w.prompts.shell_opens = false;
  Taboutform& about = Shown(w.windows().aboutform());
  for (const char* link : {"Label2", "Label1"}) {
    auto* label = Control<QLabel>(about, link);
    EXPECT_TRUE(label->focusPolicy() & Qt::TabFocus) << link;
    label->setFocus();
    PressKey(label, Qt::Key_Return);
  }
  EXPECT_EQ(w.prompts.opened, (std::vector<QString>{"mailto:" + kMakerMail, kMakerWeb}));
  ASSERT_EQ(w.prompts.boxes.size(), 2u);
  EXPECT_EQ(w.prompts.boxes[0].text, kMailNotOpenedText.arg(kMakerMail));
  EXPECT_EQ(w.prompts.boxes[1].text, kWebNotOpenedText.arg(kMakerWeb));
  EXPECT_TRUE(w.prompts.boxes[0].beeped);
  EXPECT_EQ(w.prompts.boxes[0].kind, BoxKind::Warning);
  EXPECT_TRUE(about.isVisible()) << "a link leaves the dialog open";
  about.hide();

  w.prompts.boxes.clear();
  w.prompts.shell_opens = true;
  about.Label1Click();
  EXPECT_TRUE(w.prompts.boxes.empty()) << "an opened link needs no box";
}

TEST(PortLine, ALongDeviceIsShownWholeWrappedWithinItsRoom) {
  const QByteArray saved = qgetenv("ZMR_COM1");
  const QString device = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
  qputenv("ZMR_COM1", device.toLocal8Bit());
  World w;
  w.started();
  for (ConsoleDialog* dialog : {static_cast<ConsoleDialog*>(&w.windows().programoptionsform()),
                                static_cast<ConsoleDialog*>(&w.windows().StartupForm())}) {
    dialog->FormShow();
    auto* line = Control<QLabel>(*dialog, "portdevice");
    EXPECT_TRUE(line->text().contains(device));
    EXPECT_GT(line->fontMetrics().horizontalAdvance(line->text()), line->width());
    const QStringList shown = ShownLines(*line);
    EXPECT_GT(shown.size(), 1);
    EXPECT_EQ(shown.join(QString()), line->text()) << dialog->objectName().toStdString();
    EXPECT_LE(shown.size() * line->fontMetrics().lineSpacing(), line->contentsRect().height())
        << dialog->objectName().toStdString() << ": " << shown.join(u'|').toStdString();
    EXPECT_EQ(line->toolTip(), line->text()) << dialog->objectName().toStdString();
  }
  if (saved.isNull()) {
    qunsetenv("ZMR_COM1");
  } else {
    qputenv("ZMR_COM1", saved);
  }
}

TEST(MessageBoxes, ALineThatFitsTheScreenIsNotBrokenAndTheTextCanBeCopied) {
  TestApplication();
  const auto box = MakeMessageBox(BoxKind::Error, kTitleCharactersText, BoxButtons::Ok, nullptr);
  box->show();
  QApplication::processEvents();
  auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
  ASSERT_NE(label, nullptr);
  EXPECT_LT(label->height(), 2 * label->fontMetrics().lineSpacing()) << "one line, comma and quote with it";
  EXPECT_TRUE(box->textInteractionFlags() & Qt::TextSelectableByMouse);
  box->hide();
}

TEST(FileDialogs, CaptionedForTheirJobAndTheSaveDialogRefusesAMissingFolder) {
  TestApplication();
  RecordingPrompts prompts;
  TempDir dir;
  FileDialogRequest request;
  request.caption = "Save Project As";
  request.filter = kProjectFilter;
  request.default_suffix = "zmr";
  request.initial_folder = dir.folder();
  ProjectFileDialog save(nullptr, prompts, request, QFileDialog::AcceptSave);
  EXPECT_EQ(save.windowTitle(), "Save Project As");
  WriteEmptyProject(dir.file("Other.zmr"));
  EXPECT_EQ(save.iconProvider()->type(QFileInfo(dir.file("Other.zmr"))), "ZMR project");
  EXPECT_GE(save.width(), 800) << "room for the name, size, type and date columns";
  save.show();
  auto* list = save.findChild<QTreeView*>("treeView");
  ASSERT_NE(list, nullptr);
  QTRY_COMPARE_WITH_TIMEOUT(list->model()->rowCount(list->rootIndex()), 1, 3000);  // Other.zmr, read in the background
  QApplication::processEvents();
  const QAbstractItemView& view = *list;
  for (int column = 1; column < list->header()->count(); ++column) {
    EXPECT_GE(list->header()->sectionSize(column), view.sizeHintForColumn(column)) << "column " << column << " cut";
  }
  EXPECT_EQ(list->header()->sectionPosition(3) + list->header()->sectionSize(3), list->viewport()->width())
      << "the columns fill the list";
  save.hide();

  const QString missing = dir.file("no such folder") + "/Hall.zmr";
  save.selectFile(missing);
  save.accept();
  EXPECT_NE(save.result(), QDialog::Accepted);
  ASSERT_EQ(prompts.boxes.size(), 1u);
  EXPECT_EQ(prompts.boxes[0].text, kMissingFolderText.arg(QDir::toNativeSeparators(dir.file("no such folder"))));
  EXPECT_TRUE(prompts.boxes[0].beeped);

  save.selectFile(dir.file("Hall.zmr"));
  save.accept();
  EXPECT_EQ(save.result(), QDialog::Accepted);
  EXPECT_EQ(prompts.boxes.size(), 1u);

  // The open dialog lets any name through: the open operation answers a missing file.
  request.caption = "Open Project";
  ProjectFileDialog open(nullptr, prompts, request, QFileDialog::AcceptOpen);
  EXPECT_EQ(open.windowTitle(), "Open Project");
}

TEST(FileDialogs, TheProjectCommandsNameTheirDialogs) {
  World w;
  w.started();
  w.main().OpenProject();
  w.runner.scripts.push_back([&](ConsoleDialog&) { w.windows().newprojectform().butnextClick(); });
  w.main().NewProject();
  ASSERT_EQ(w.prompts.file_requests.size(), 2u);
  EXPECT_EQ(w.prompts.file_requests[0].caption, "Open Project");
  EXPECT_EQ(w.prompts.file_requests[1].caption, "Save Project As");
}

TEST(Help, WithoutABrowserThePagesOpenInOurOwnWindowWithWorkingLinks) {
  World w;
  TMainform& main = w.started();
  QDir().mkpath(w.dir.file("HTMLHelp"));
  for (const char* page : {"default.htm", "compile.htm"}) {
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZMR_SOURCE_DIR "/help/HTMLHelp/") + page,
                            w.dir.file(QStringLiteral("HTMLHelp/") + page)));
  }
  Control(main, "Help2")->trigger();
  EXPECT_TRUE(main.findChildren<HelpWindow*>().isEmpty()) << "the shell opened it";

  w.prompts.shell_opens = false;
  Control(main, "Help2")->trigger();
  auto* help = main.findChild<HelpWindow*>();
  ASSERT_NE(help, nullptr);
  EXPECT_TRUE(help->isVisible());
  EXPECT_TRUE(help->isWindow());
  EXPECT_EQ(help->browser().source(), QUrl::fromLocalFile(w.dir.file("HTMLHelp/default.htm")));
  EXPECT_EQ(help->windowTitle(), "ZMR Console Help");
  EXPECT_TRUE(help->browser().toPlainText().contains("Projects"));

  emit help->browser().anchorClicked(QUrl("compile.htm"));
  EXPECT_EQ(help->browser().source().fileName(), "compile.htm");
  emit help->browser().anchorClicked(QUrl("default.htm#ports"));
  EXPECT_EQ(help->browser().source().fileName(), "default.htm");
  emit help->browser().anchorClicked(QUrl("mailto:support@zmr-console.example"));
  EXPECT_EQ(w.prompts.opened.back(), "mailto:support@zmr-console.example");

  help->hide();
  Control(main, "Help2")->trigger();
  EXPECT_EQ(main.findChildren<HelpWindow*>().size(), 1) << "one help window, shown again";
  EXPECT_TRUE(help->isVisible());
  help->hide();
}

}  // namespace
}  // namespace zmr::testing
