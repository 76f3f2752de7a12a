#pragma once
// The Prompts the program uses: real message boxes, file dialogs, the desktop shell.
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <memory>
#include <QUrl>
#include <QWidget>

#include "base/prompts.h"

namespace zmr {

inline const QString kApplicationTitle = QStringLiteral("ZMR Console");

class QtPrompts : public Prompts {
 public:
  // Boxes and dialogs are centred on the active window, or on `fallback_parent`.
  void setFallbackParent(QWidget* parent) { fallback_parent_ = parent; }

  void beep() override;
  BoxAnswer message(BoxKind kind, const QString& text, BoxButtons buttons) override;
  std::optional<QString> openFileName(const FileDialogRequest& request) override;
  std::optional<QString> saveFileName(const FileDialogRequest& request) override;
  bool shellOpen(const QString& target) override;
  void setClipboardText(const QString& text) override;
  void setBusyCursor(bool busy) override;
  void processEvents() override;

 private:
  QWidget* parent() const;
  QPointer<QWidget> fallback_parent_;
};

// The open and save dialogs of the program. The save dialog refuses a file in a folder
// that does not exist, in the dialog, before its caller stores anything.
class ProjectFileDialog : public QFileDialog {
 public:
  ProjectFileDialog(QWidget* parent, Prompts& prompts, const FileDialogRequest& request, AcceptMode mode);
  ~ProjectFileDialog() override;
  void accept() override;

 private:
  Prompts& prompts_;
  std::unique_ptr<QAbstractFileIconProvider> types_;
};

inline const QString kMissingFolderText =
    QStringLiteral("The folder \"%1\" does not exist.\nPlease choose a folder that exists.");

// A message box as the program shows it: the application title as caption, the text
// selectable (to copy an address from it) and laid out so that no line is broken
// while it fits the screen.
std::unique_ptr<QMessageBox> MakeMessageBox(BoxKind kind, const QString& text, BoxButtons buttons,
                                            QWidget* parent);

// "description (*.zmr)|*.zmr" -> "description (*.zmr)": Qt takes the patterns from
// the parentheses, so only the description part of each pair is kept.
QString QtFileFilter(const QString& filter);

// What the shell is asked to open: a local file, or a mailto:/web address as it stands.
QUrl ShellUrl(const QString& target);

}  // namespace zmr
