#include "hardware/ui/status.h"

#include "base/prompts.h"
#include "hardware/activation.h"
#include "hardware/status_report.h"
#include "hardware/ui/clipboard_glyph.h"
#include "link/port_lease.h"
#include "link/port_names.h"
#include "link/timer_link.h"
#include "ui_status.h"
#include "ui/maker.h"
#include "ui/field_looks.h"
#include "ui/shell_links.h"
#include "ui/transient_note.h"

namespace zmr {

namespace {

// Read-only fields are no Tab stop and show the button face behind their text.
void MakeReadOnlyField(QLineEdit& field) {
  field.setFocusPolicy(Qt::NoFocus);
  QPalette palette = field.palette();
  palette.setColor(QPalette::Base, palette.color(QPalette::Button));
  field.setPalette(palette);
}

}  // namespace

Tstatusform::Tstatusform(Console& console, QWidget* parent)
    : TimerDialog(parent), console_(console), ui_(new Ui::Tstatusform) {
  ui_->setupUi(this);
  fixFormAndStrip(*ui_->Image1);
  for (QLineEdit* field :
       {ui_->timerstate, ui_->productcode, ui_->serialnum, ui_->firmwareversion, ui_->hardwaredt}) {
    MakeReadOnlyField(*field);
  }
  ui_->BitBtn1->setIcon(ClipboardGlyph(ui_->BitBtn1->iconSize().height()));
  ui_->tip2->setText(kMakerMail);
  ui_->tip2->setAccessibleName(kMakerMail);
  ActAsLink(*ui_->tip2, [this] { Label11Click(); });
  show_timer_.setSingleShot(true);
  show_timer_.setInterval(kShowTimerMs);
  connect(&show_timer_, &QTimer::timeout, this, &Tstatusform::ShowTimerTimer);
  connect(ui_->updatebut, &QPushButton::clicked, this, &Tstatusform::updatebutClick);
  connect(ui_->BitBtn1, &QPushButton::clicked, this, &Tstatusform::BitBtn1Click);
  connect(ui_->Testringbellbut, &QPushButton::clicked, this, &Tstatusform::TestringbellbutClick);
  connect(ui_->Button3, &QPushButton::clicked, this, &Tstatusform::Button3Click);
  // Enter closes the dialog; it must never ring the bell by chance.
  ui_->Button3->setDefault(true);
}

Tstatusform::~Tstatusform() = default;

void Tstatusform::FormShow() {
  ui_->tip1->setText(kStatusTip1);
  ui_->tip3->setText(kStatusTip3);
  ui_->tip4->setText(kStatusTip4);
  ui_->tip6->setText(kStatusTip6);
  // A port that cannot be opened ends the showing here, before any reading; it is given
  // back at once and taken again by each reading.
  if (console_.link != nullptr) {
    const PortLease check(*console_.link, PortName(console_.data.settings.com_port));
  }
  showFields({});
  // The copy and synchronise buttons wait for the first reading, so the keyboard would
  // start on the bell test.
  FocusDrawn(*ui_->Button3);
  show_timer_.start();
}

void Tstatusform::ShowTimerTimer() {
  show_timer_.stop();
  RefreshStatus();
}

void Tstatusform::RefreshStatus() {
  if (console_.link == nullptr) {
    return;
  }
  Busy busy(*this);
  const PortLease lease(*console_.link, PortName(console_.data.settings.com_port));
  const std::optional<StatusTexts> texts = ReadTimerStatus(*console_.link, console_.prompts);
  ui_->Button3->setEnabled(true);
  if (!texts) {
    return;
  }
  ui_->BitBtn1->setEnabled(true);
  showFields(*texts);
  repaint();
  ui_->updatebut->setEnabled(true);
}

void Tstatusform::updatebutClick() {
  if (console_.link == nullptr) {
    return;
  }
  Busy busy(*this);
  ui_->updatebut->setEnabled(false);
  // Enabled again on every way out, a port error included.
  struct EnableAgain {
    QPushButton& button;
    ~EnableAgain() { button.setEnabled(true); }
  } enable_again{*ui_->updatebut};
  const PortLease lease(*console_.link, PortName(console_.data.settings.com_port));
  if (SetTimerClock(*console_.link, console_.prompts)) {
    RefreshStatus();
    NoteOf(*this).show(kClockSetNote);
  }
}

void Tstatusform::BitBtn1Click() {
  console_.prompts.setClipboardText(reportText());
  NoteOf(*this).show(kReportCopiedNote);
}

QString Tstatusform::reportText() const {
  const QDateTime now = console_.link != nullptr ? console_.link->clock().now() : QDateTime::currentDateTime();
  return StatusReport(shownFields(), PcDateTimeText(now, formats_));
}

void Tstatusform::TestringbellbutClick() {
  if (console_.link == nullptr) {
    return;
  }
  Busy busy(*this);
  const PortLease lease(*console_.link, PortName(console_.data.settings.com_port));
  if (TestOutput(*console_.link, console_.prompts)) {
    NoteOf(*this).show(kOutputTestedNote);
  }
}

void Tstatusform::Button3Click() { accept(); }

void Tstatusform::Label11Click() { WriteMailTo(console_.prompts, ui_->tip2->text()); }

void Tstatusform::showFields(const StatusTexts& texts) {
  ui_->hardwaredt->setText(texts.hardwaredt);
  ui_->timerstate->setText(texts.timerstate);
  ui_->productcode->setText(texts.productcode);
  ui_->firmwareversion->setText(texts.firmwareversion);
  ui_->serialnum->setText(texts.serialnum);
}

StatusTexts Tstatusform::shownFields() const {
  return {ui_->hardwaredt->text(), ui_->timerstate->text(), ui_->firmwareversion->text(), ui_->serialnum->text(),
          ui_->productcode->text()};
}

}  // namespace zmr
