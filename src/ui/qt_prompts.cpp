#include "ui/qt_prompts.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QTreeView>
#include <QFileIconProvider>
#include <QLabel>
#include <QScreen>
#include <QSplitter>
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

std::unique_ptr<QMessageBox> MakeMessageBox(BoxKind kind, const QString& text, BoxButtons buttons,
                                            QWidget* parent) {
  const QMessageBox::Icon icon = kind == BoxKind::Error     ? QMessageBox::Critical
                                 : kind == BoxKind::Warning ? QMessageBox::Warning
                                                            : QMessageBox::Information;
  const QMessageBox::StandardButtons standard =
      buttons == BoxButtons::YesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok;
  auto box = std::make_unique<QMessageBox>(icon, kApplicationTitle, text, standard, parent);
  box->setTextFormat(Qt::PlainText);
  box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  // Qt wraps a box's text at about 500 pixels, which can leave the end of a sentence
  // (a comma, a closing quote) alone on a line; give each line the room it needs.
  if (auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
    int widest = 0;
    for (const QString& line : text.split(u'\n')) {
      widest = std::max(widest, label->fontMetrics().horizontalAdvance(line.trimmed()));
    }
    const QScreen* screen = parent != nullptr ? parent->screen() : QGuiApplication::primaryScreen();
    const int room = screen != nullptr ? screen->availableGeometry().width() * 3 / 4 : 600;
    label->setMinimumWidth(std::min(widest + 4, room));
  }
  return box;
}

BoxAnswer QtPrompts::message(BoxKind kind, const QString& text, BoxButtons buttons) {
  const auto box = MakeMessageBox(kind, text, buttons, parent());
  const int answer = box->exec();
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

// The file list's "Type" column: project files by their name, not as "zmr File".
class ProjectFileTypes : public QFileIconProvider {
 public:
  QString type(const QFileInfo& info) const override {
    if (info.isFile() && info.suffix().compare(QStringLiteral("zmr"), Qt::CaseInsensitive) == 0) {
      return QStringLiteral("ZMR project");
    }
    return QFileIconProvider::type(info);
  }
};

std::optional<QString> RunFileDialog(QWidget* parent, Prompts& prompts, const FileDialogRequest& request,
                                     QFileDialog::AcceptMode mode) {
  ProjectFileDialog dialog(parent, prompts, request, mode);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
    return std::nullopt;
  }
  return QDir::toNativeSeparators(dialog.selectedFiles().front());
}

}  // namespace

ProjectFileDialog::ProjectFileDialog(QWidget* parent, Prompts& prompts, const FileDialogRequest& request,
                                     AcceptMode mode)
    : QFileDialog(parent, request.caption.isEmpty() ? kApplicationTitle : request.caption,
                  StartFolder(request.initial_folder), QtFileFilter(request.filter)),
      prompts_(prompts),
      types_(std::make_unique<ProjectFileTypes>()) {
  // Qt's own dialog everywhere: it is the one that checks the folder below.
  setOption(QFileDialog::DontUseNativeDialog);
  setIconProvider(types_.get());
  setAcceptMode(mode);
  setFileMode(QFileDialog::AnyFile);
  setDefaultSuffix(request.default_suffix);
  setViewMode(QFileDialog::Detail);
  resize(820, 500);
  // Room for the places at the left ("Computer", the home folder) and for the columns.
  if (auto* places = findChild<QSplitter*>(QStringLiteral("splitter"))) {
    places->setSizes({170, 650});
  }
  // The name takes the room that is left; size, type and date are never cut.
  if (auto* list = findChild<QTreeView*>(QStringLiteral("treeView"))) {
    QHeaderView& columns = *list->header();
    columns.setStretchLastSection(false);
    columns.setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column = 1; column < columns.count(); ++column) {
      columns.setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
  }
  if (!request.proposed_name.isEmpty()) {
    selectFile(request.proposed_name);
  }
}

ProjectFileDialog::~ProjectFileDialog() = default;

// A new file can only go into a folder that is there; Qt's dialog would accept any name.
void ProjectFileDialog::accept() {
  const QStringList files = selectedFiles();
  if (acceptMode() == AcceptSave && !files.isEmpty()) {
    const QFileInfo chosen(files.front());
    if (!chosen.isDir() && !QFileInfo(chosen.path()).isDir()) {
      prompts_.beep();
      prompts_.message(BoxKind::Warning, kMissingFolderText.arg(QDir::toNativeSeparators(chosen.path())));
      return;
    }
  }
  QFileDialog::accept();
}

// The open dialog takes a typed name that does not exist: the open operation says so.
std::optional<QString> QtPrompts::openFileName(const FileDialogRequest& request) {
  return RunFileDialog(parent(), *this, request, QFileDialog::AcceptOpen);
}

// Qt's save dialog asks before it replaces an existing file.
std::optional<QString> QtPrompts::saveFileName(const FileDialogRequest& request) {
  return RunFileDialog(parent(), *this, request, QFileDialog::AcceptSave);
}

QUrl ShellUrl(const QString& target) {
  if (QFileInfo(target).isAbsolute() || !target.contains(u':')) {
    return QUrl::fromLocalFile(target);
  }
  return QUrl(target);
}

bool QtPrompts::shellOpen(const QString& target) { return QDesktopServices::openUrl(ShellUrl(target)); }

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
