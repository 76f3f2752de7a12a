#include "windows/start_up.h"

#include "project/settings.h"
#include "ui_start_up.h"
#include "ui/artwork.h"
#include "ui/field_looks.h"

namespace zmr {

QString WelcomeStepsText() {
  static const char* const kLines[] = {
      "Your ZMR Hardware can be programmed step-by-step as follows:",
      "1.\tCreate a new ZMR Project file (*.psf). Once a Project file has ",
      "been created, you can always re-open the file to edit, modify and ",
      "configure the hardware again;",
      "2.\tUse the Schedule Details option, which allows you to create ",
      "individual events in a 7-day cycle, to activate the ZMR's output. During this ",
      "process, you will be able to define relevant options, such as Pulse Time ",
      "duration, and specific times at which the ZMR output should be activated.;",
      "3.\tAs soon as you are satisfied with the configuration of your ZMR ",
      "Project, you will be able to download the program to your ZMR Hardware. ",
      "Note that you can also create a ZMR Project in the absence of a ",
      "connected ZMR Hardware. As such you will not be able to download and ",
      "test your ZMR Project without first connecting the ZMR Hardware. This ",
      "flexibility allows you to create various new ZMR Projects, with the intent ",
      "of programming the hardware at a future time.",
  };
  QStringList lines;
  for (const char* line : kLines) {
    lines << QString::fromLatin1(line);
  }
  return lines.join(u'\n');
}

TStartupForm::TStartupForm(Console& console, QWidget* parent)
    : ConsoleDialog(parent), console_(console), ui_(new Ui::TStartupForm) {
  ui_->setupUi(this);
  fixFormAndStrip(*ui_->Image1);
  ui_->RichEdit2->setTabStopDistance(24);
  ui_->RichEdit2->setPlainText(WelcomeStepsText());
  ports_ = std::make_unique<PortChoice>(console, *ui_->portused, *ui_->detectbut, *ui_->networkbut,
                                       *ui_->portdevice);
  WrapWhole(*ui_->portdevice);  // with three buildings the host is what is read
  connect(ui_->CheckBox1, &QCheckBox::clicked, this, &TStartupForm::CheckBox1Click);
  connect(ui_->butcancel, &QPushButton::clicked, this, &TStartupForm::butcancelClick);
}

TStartupForm::~TStartupForm() = default;

void TStartupForm::FormShow() {
  ui_->tip1->setText(kWelcomeTip1);
  ui_->tip2->setText(kPortTip2);
  // Cleared first, so that the selection below always runs the selection handler.
  ports_->clearSelection();
  ports_->setItemIndex(console_.data.settings.com_port - 1);
  // The dialog asks for the port first; Enter closes it (CLOSE is the default button).
  ports_->focusItem();
}

void TStartupForm::CheckBox1Click() {
  console_.data.settings.show_welcome = ui_->CheckBox1->isChecked() ? 0 : 1;
  SaveSettings(console_.data.settings, console_.data.state.program_folder);
}

void TStartupForm::butcancelClick() { accept(); }

}  // namespace zmr
