#include "hardware/ui/compile.h"

#include "base/prompts.h"
#include "hardware/download.h"
#include "link/port_names.h"
#include "link/timer_link.h"
#include "hardware/week_state.h"
#include "ui_compile.h"
#include "ui/help_window.h"
#include "ui/shell_links.h"

namespace zmr {

Tcompileform::Tcompileform(Console& console, QWidget* parent)
    : TimerDialog(parent), console_(console), ui_(new Ui::Tcompileform) {
  ui_->setupUi(this);
  fixFormAndStrip(*ui_->Image1);
  connect(ui_->downloadbut, &QPushButton::clicked, this, &Tcompileform::downloadbutClick);
  connect(ui_->updatebut, &QPushButton::clicked, this, &Tcompileform::updatebutClick);
  connect(ui_->closebut, &QPushButton::clicked, this, &Tcompileform::closebutClick);
  ActAsLink(*ui_->tip7, [this] { tip7Click(); });
  ActAsLink(*ui_->tip9, [this] { tip9Click(); });
}

Tcompileform::~Tcompileform() = default;

void Tcompileform::FormShow() {
  ui_->tip1->setText(kCompileTip1);
  ui_->tip2->setText(kCompileTip2);
  ui_->tip4->setText(kCompileTip4);
  // A label has no access keys, so the doubled "&" would show twice: it stands for one.
  QString tip6 = kCompileTip6;
  ui_->tip6->setText(tip6.replace(QStringLiteral("&&"), QStringLiteral("&")));
  ui_->tip8->setText(kCompileTip8);
  ui_->resultinfo->clear();
  ui_->downloadbut->setEnabled(true);
  ui_->Totalprogress->setValue(0);
}

void Tcompileform::downloadbutClick() {
  if (console_.link == nullptr) {
    return;
  }
  Busy busy(*this);
  DownloadContext context{*console_.link, console_.prompts, *this, formats_};
  const QString port = PortName(console_.data.settings.com_port);
  context.record = DownloadRecord{console_.state_folder, TimerKeyOf(port)};
  DownloadSchedule(context, console_.data.project, console_.data.state, port);
  if (!context.record_fault.isEmpty()) addLine(context.record_fault);
}

void Tcompileform::updatebutClick() {
  if (console_.link == nullptr) {
    return;
  }
  Busy busy(*this);
  DownloadContext context{*console_.link, console_.prompts, *this, formats_};
  SynchronizeClock(context, PortName(console_.data.settings.com_port));
}

void Tcompileform::closebutClick() { accept(); }

void Tcompileform::tip7Click() { openHelp(); }

void Tcompileform::tip9Click() { openHelp(); }

void Tcompileform::openHelp() { OpenHelpPage(console_, *this, kCompileHelpPage); }

void Tcompileform::addLine(const QString& line) { ui_->resultinfo->appendPlainText(line); }

void Tcompileform::clearLines() { ui_->resultinfo->clear(); }

void Tcompileform::setProgress(int position, int maximum) {
  ui_->Totalprogress->setRange(0, maximum);
  ui_->Totalprogress->setValue(position);
}

void Tcompileform::setDownloadEnabled(bool enabled) { ui_->downloadbut->setEnabled(enabled); }

void Tcompileform::setUpdateEnabled(bool enabled) { ui_->updatebut->setEnabled(enabled); }

void Tcompileform::setCloseEnabled(bool enabled) { ui_->closebut->setEnabled(enabled); }

}  // namespace zmr
