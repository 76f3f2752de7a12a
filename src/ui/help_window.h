#pragma once
// The help pages, shown by the desktop's browser, or by a help window of our own when
// this machine has no browser to open them.
#include <QTextBrowser>
#include <QWidget>

#include "ui/console.h"

namespace zmr {

// A plain reader of the HTMLHelp pages: links between the pages and to places on a page
// are followed here; mail and web links go to the shell.
class HelpWindow : public QWidget {
  Q_OBJECT

 public:
  HelpWindow(Prompts& prompts, QWidget* parent);

  QTextBrowser& browser() { return *browser_; }
  void showPage(const QString& path);

 private:
  void follow(const QUrl& url);

  Prompts& prompts_;
  QTextBrowser* browser_;
};

// Opens program_folder/HTMLHelp/<page> with the shell, else in the help window that
// belongs to `owner`'s window (made on first need, then reused).
void OpenHelpPage(Console& console, QWidget& owner, const QString& page);

}  // namespace zmr
