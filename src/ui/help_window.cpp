#include "ui/help_window.h"

#include <QFileInfo>
#include <QKeySequence>
#include <QShortcut>
#include <QVBoxLayout>

#include "base/prompts.h"

namespace zmr {

HelpWindow::HelpWindow(Prompts& prompts, QWidget* parent)
    : QWidget(parent, Qt::Window), prompts_(prompts), browser_(new QTextBrowser(this)) {
  setObjectName(QStringLiteral("helpwindow"));
  browser_->setObjectName(QStringLiteral("helpbrowser"));
  browser_->setAccessibleName(QStringLiteral("Help page"));
  browser_->setOpenLinks(false);
  connect(browser_, &QTextBrowser::anchorClicked, this, &HelpWindow::follow);
  connect(browser_, &QTextBrowser::sourceChanged, this, [this] {
    const QString title = browser_->documentTitle();
    setWindowTitle(title.isEmpty() ? QStringLiteral("ZMR Console Help") : title);
  });
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(browser_);
  resize(860, 640);
  new QShortcut(QKeySequence::Cancel, this, this, &QWidget::close);
}

void HelpWindow::showPage(const QString& path) {
  browser_->setSource(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
  if (!isVisible() && parentWidget() != nullptr) {
    // Over the window it was asked from, as the dialogs are.
    move(parentWidget()->geometry().center() - rect().center());
  }
  show();
  raise();
  activateWindow();
}

void HelpWindow::follow(const QUrl& url) {
  // Relative links resolve against the page shown, so they stay among the help files.
  const QUrl target = browser_->source().resolved(url);
  if (target.isLocalFile()) {
    browser_->setSource(target);
  } else {
    prompts_.shellOpen(target.toString());
  }
}

void OpenHelpPage(Console& console, QWidget& owner, const QString& page) {
  const QString path = console.data.state.program_folder + QStringLiteral("HTMLHelp/") + page;
  if (console.prompts.shellOpen(path)) {
    return;
  }
  QWidget* window = owner.window();
  auto* help = window->findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly);
  if (help == nullptr) {
    help = new HelpWindow(console.prompts, window);
  }
  help->showPage(path);
}

}  // namespace zmr
