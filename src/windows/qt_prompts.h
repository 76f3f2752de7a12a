#pragma once
// The Prompts the program uses: real message boxes, file dialogs, the desktop shell.
#include <QPointer>
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
  void shellOpen(const QString& target) override;
  void setClipboardText(const QString& text) override;
  void setBusyCursor(bool busy) override;
  void processEvents() override;

 private:
  QWidget* parent() const;
  QPointer<QWidget> fallback_parent_;
};

// "description (*.zmr)|*.zmr" -> "description (*.zmr)": Qt takes the patterns from
// the parentheses, so only the description part of each pair is kept.
QString QtFileFilter(const QString& filter);

// What the shell is asked to open: a local file, or a mailto:/web address as it stands.
QUrl ShellUrl(const QString& target);

}  // namespace zmr
