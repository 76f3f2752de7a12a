#include "ui/shell_links.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>

#include "base/prompts.h"

namespace zmr {
namespace {

class LinkFilter : public QObject {
 public:
  LinkFilter(QLabel& label, std::function<void()> open) : QObject(&label), open_(std::move(open)) {}

  bool eventFilter(QObject* /*watched*/, QEvent* event) override {
    const bool clicked = event->type() == QEvent::MouseButtonRelease &&
                         static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
    const int key = event->type() == QEvent::KeyPress ? static_cast<QKeyEvent*>(event)->key() : 0;
    if (clicked || key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
      open_();
      return true;
    }
    return false;
  }

 private:
  std::function<void()> open_;
};

}  // namespace

void ActAsLink(QLabel& label, std::function<void()> open) {
  label.setFocusPolicy(Qt::TabFocus);
  label.installEventFilter(new LinkFilter(label, std::move(open)));
}

void OpenLinkOrShowAddress(Prompts& prompts, const QString& target, const QString& not_opened_text,
                           const QString& address) {
  if (!prompts.shellOpen(target)) {
    prompts.beep();
    prompts.message(BoxKind::Warning, not_opened_text.arg(address));
  }
}

void WriteMailTo(Prompts& prompts, const QString& address) {
  OpenLinkOrShowAddress(prompts, QStringLiteral("mailto:") + address, kMailNotOpenedText, address);
}

}  // namespace zmr
