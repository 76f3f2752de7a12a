#include "windows/about.h"

#include <QDir>

#include "base/prompts.h"
#include "base/version.h"
#include "project/settings.h"
#include "ui_about.h"
#include "ui/artwork.h"
#include "ui/field_looks.h"

namespace zmr {

Taboutform::Taboutform(Console& console, QWidget* parent)
    : ConsoleDialog(parent), console_(console), ui_(new Ui::Taboutform) {
  ui_->setupUi(this);
  fixFormAndStrip(*ui_->Image1);
  ui_->Image2->setPixmap(ProductPicture(ui_->Image2->size()));
  ui_->Label2->setText(kMakerMail);
  ui_->Label1->setText(kMakerWeb);
  ActAsLink(*ui_->Label2, [this] { Label2Click(); });
  ActAsLink(*ui_->Label1, [this] { Label1Click(); });
  connect(ui_->showwelcome, &QCheckBox::clicked, this, &Taboutform::showwelcomeClick);
  connect(ui_->Button1, &QPushButton::clicked, this, &Taboutform::Button1Click);
}

Taboutform::~Taboutform() = default;

void Taboutform::FormShow() {
  ui_->Label6->setText(kMakerStatement);
  ui_->aboutversion->setText(kProgramVersion);
  ui_->aboutreleasedate->setText(kReleaseDate);
  ui_->showwelcome->setChecked(console_.data.settings.show_welcome == 1);
  FocusDrawn(*ui_->Button1);
  showSettingsPlace();
}

// Where timer.ini lives (beside the program or in the user's configuration folder),
// shortened in the middle to fit; the whole path is the hint.
void Taboutform::showSettingsPlace() {
  const QString path = QDir::toNativeSeparators(SettingsFilePath(console_.data.state.program_folder));
  QLabel& label = *ui_->settingsfile;
  label.setText(label.fontMetrics().elidedText(path, Qt::ElideMiddle, label.width()));
  label.setToolTip(path);
  label.setAccessibleName(ui_->Label7->text());
  label.setAccessibleDescription(path);
}

void Taboutform::showwelcomeClick() {
  console_.data.settings.show_welcome = ui_->showwelcome->isChecked() ? 1 : 0;
  SaveSettings(console_.data.settings, console_.data.state.program_folder);
}

void Taboutform::Label2Click() { WriteMailTo(console_.prompts, ui_->Label2->text()); }

void Taboutform::Label1Click() { OpenLinkOrShowAddress(console_.prompts, kMakerWeb, kWebNotOpenedText, kMakerWeb); }

void Taboutform::Button1Click() { accept(); }

}  // namespace zmr
