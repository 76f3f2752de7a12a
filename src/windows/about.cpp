#include "windows/about.h"

#include <QMouseEvent>

#include "base/prompts.h"
#include "base/version.h"
#include "project/settings.h"
#include "ui_about.h"
#include "windows/artwork.h"

namespace zmr {

Taboutform::Taboutform(Console& console, QWidget* parent)
    : ConsoleDialog(parent), console_(console), ui_(new Ui::Taboutform) {
  ui_->setupUi(this);
  fixFormAndStrip(*ui_->Image1);
  ui_->Image2->setPixmap(ProductPicture(ui_->Image2->size()));
  ui_->Label2->setText(kMakerMail);
  ui_->Label1->setText(kMakerWeb);
  ui_->Label2->installEventFilter(this);
  ui_->Label1->installEventFilter(this);
  connect(ui_->showwelcome, &QCheckBox::clicked, this, &Taboutform::showwelcomeClick);
  connect(ui_->Button1, &QPushButton::clicked, this, &Taboutform::Button1Click);
}

Taboutform::~Taboutform() = default;

void Taboutform::FormShow() {
  ui_->Label6->setText(kMakerStatement);
  ui_->aboutversion->setText(kProgramVersion);
  ui_->aboutreleasedate->setText(kReleaseDate);
  ui_->showwelcome->setChecked(console_.data.settings.show_welcome == 1);
}

void Taboutform::showwelcomeClick() {
  console_.data.settings.show_welcome = ui_->showwelcome->isChecked() ? 1 : 0;
  SaveSettings(console_.data.settings, console_.data.state.program_folder);
}

void Taboutform::Label2Click() { console_.prompts.shellOpen(QStringLiteral("mailto:") + ui_->Label2->text()); }

void Taboutform::Label1Click() { console_.prompts.shellOpen(kMakerWeb); }

void Taboutform::Button1Click() { accept(); }

bool Taboutform::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    if (watched == ui_->Label2) {
      Label2Click();
      return true;
    }
    if (watched == ui_->Label1) {
      Label1Click();
      return true;
    }
  }
  return ConsoleDialog::eventFilter(watched, event);
}

}  // namespace zmr
