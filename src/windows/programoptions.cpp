#include "windows/programoptions.h"

#include "link/timer_link.h"
#include "ui_programoptions.h"
#include "ui/artwork.h"
#include "ui/field_looks.h"

namespace zmr {

Tprogramoptionsform::Tprogramoptionsform(Console& console, QWidget* parent)
    : ConsoleDialog(parent), console_(console), ui_(new Ui::Tprogramoptionsform) {
  ui_->setupUi(this);
  fixFormAndStrip(*ui_->Image1);
  ports_ = std::make_unique<PortChoice>(console, *ui_->selectcomms, *ui_->detectbut, *ui_->networkbut,
                                       *ui_->portdevice);
  WrapWhole(*ui_->portdevice);  // with three buildings the host is what is read
  connect(ui_->butcancel, &QPushButton::clicked, this, &Tprogramoptionsform::butcancelClick);
}

Tprogramoptionsform::~Tprogramoptionsform() = default;

void Tprogramoptionsform::FormShow() {
  // A label shows "&&" as one '&' only where it takes mnemonics; this one does not.
  QString tip1 = kOptionsTip1;
  ui_->tip1->setText(tip1.replace(QStringLiteral("&&"), QStringLiteral("&")));
  ui_->tip2->setText(kPortTip2);
  ports_->setItemIndex(console_.data.settings.com_port - 1);
  ports_->focusItem();
}

void Tprogramoptionsform::butcancelClick() { accept(); }

}  // namespace zmr
