#include "windows/qt_prompts.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

namespace zmr {

QString QtFileFilter(const QString& filter) {
  const QStringList parts = filter.split(u'|');
  QStringList pairs;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    pairs << (parts[i].contains(u'(') ? parts[i] : parts[i] + " (" + parts[i + 1] + ")");
  }
  if (pairs.isEmpty()) {
    return filter;
  }
  return pairs.join(QStringLiteral(";;"));
}

QWidget* QtPrompts::parent() const {
  if (QWidget* active = QApplication::activeModalWidget()) {
    return active;
  }
  if (QWidget* active = QApplication::activeWindow()) {
    return active;
  }
  return fallback_parent_.data();
}

void QtPrompts::beep() { QApplication::beep(); }

BoxAnswer QtPrompts::message(BoxKind kind, const QString& text, BoxButtons buttons) {
  const QMessageBox::Icon icon = kind == BoxKind::Error     ? QMessageBox::Critical
                                 : kind == BoxKind::Warning ? QMessageBox::Warning
                                                            : QMessageBox::Information;
  const QMessageBox::StandardButtons standard =
      buttons == BoxButtons::YesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok;
  QMessageBox box(icon, kApplicationTitle, text, standard, parent());
  box.setTextFormat(Qt::PlainText);
  const int answer = box.exec();
  if (buttons == BoxButtons::Ok) {
    return BoxAnswer::Ok;
  }
  return answer == QMessageBox::Yes ? BoxAnswer::Yes : BoxAnswer::No;
}

namespace {

// A folder that does not exist (the settings' "my documents" default on this system)
// would leave the dialog in an arbitrary place; the home folder is the friendlier start.
QString StartFolder(const QString& folder) {
  if (!folder.isEmpty() && QFileInfo(folder).isDir()) {
    return folder;
  }
  return QDir::homePath();
}

std::optional<QString> RunFileDialog(QWidget* parent, const FileDialogRequest& request,
                                     QFileDialog::AcceptMode mode) {
  QFileDialog dialog(parent, kApplicationTitle, StartFolder(request.initial_folder),
                     QtFileFilter(request.filter));
  dialog.setAcceptMode(mode);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix(request.default_suffix);
  if (!request.proposed_name.isEmpty()) {
    dialog.selectFile(request.proposed_name);
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
    return std::nullopt;
  }
  return QDir::toNativeSeparators(dialog.selectedFiles().front());
}

}  // namespace

// The open dialog takes a typed name that does not exist: the open operation says so.
std::optional<QString> QtPrompts::openFileName(const FileDialogRequest& request) {
  return RunFileDialog(parent(), request, QFileDialog::AcceptOpen);
}

// Qt's save dialog asks before it replaces an existing file.
std::optional<QString> QtPrompts::saveFileName(const FileDialogRequest& request) {
  return RunFileDialog(parent(), request, QFileDialog::AcceptSave);
}

QUrl ShellUrl(const QString& target) {
  if (QFileInfo(target).isAbsolute() || !target.contains(u':')) {
    return QUrl::fromLocalFile(target);
  }
  return QUrl(target);
}

void QtPrompts::shellOpen(const QString& target) { QDesktopServices::openUrl(ShellUrl(target)); }

void QtPrompts::setClipboardText(const QString& text) { QGuiApplication::clipboard()->setText(text); }

void QtPrompts::setBusyCursor(bool busy) {
  if (busy) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    QApplication::restoreOverrideCursor();
  }
}

void QtPrompts::processEvents() { QCoreApplication::processEvents(); }

}  // namespace zmr
