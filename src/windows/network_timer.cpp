#include "windows/network_timer.h"

#include <QSignalBlocker>

#include "link/network_setup.h"
#include "link/port_map.h"
#include "link/tls_files.h"
#include "project/settings.h"
#include "ui_network_timer.h"
#include "ui/field_looks.h"

namespace zmr {

namespace {
constexpr int kButtonGap = 6;
}  // namespace

TNetworkTimerForm::TNetworkTimerForm(Console& console, QWidget* parent)
    : ConsoleDialog(parent), console_(console), ui_(new Ui::TNetworkTimerForm) {
  ui_->setupUi(this);
  setFixedSize(size());
  connect(ui_->networkok, &QPushButton::clicked, this, &TNetworkTimerForm::networkokClick);
  connect(ui_->networkcancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(ui_->networktls, &QCheckBox::clicked, this, &TNetworkTimerForm::networktlsClick);
  connect(ui_->networkaddress, &QLineEdit::textEdited, this, &TNetworkTimerForm::networkaddressChange);
  connect(ui_->networkca, &QPushButton::clicked, this, &TNetworkTimerForm::networkcaClick);
  connect(ui_->networkcert, &QPushButton::clicked, this, &TNetworkTimerForm::networkcertClick);
  connect(ui_->networktlsclear, &QPushButton::clicked, this, &TNetworkTimerForm::networktlsclearClick);
}

TNetworkTimerForm::~TNetworkTimerForm() = default;

QString TNetworkTimerForm::settingsFolder() const { return SettingsFolder(console_.data.state.program_folder); }

void TNetworkTimerForm::FormShow() {
  ui_->networkprompt->setText(NetworkSetupPrompt(port_));
  ui_->networkaddress->setText(CurrentNetworkAddress(port_, settingsFolder()));
  ui_->networktls->setChecked(NamesTls(ui_->networkaddress->text()));
  // A ZMR_COM<n> that overrides whatever is stored here, and lines of the mapping file that
  // map nothing, so that none is lost without a word.
  QStringList notes = PortMapNotes(ReadPortMapFile(settingsFolder()));
  if (const QString wins = EnvironmentWinsText(port_); !wins.isEmpty()) notes.prepend(wins);
  ui_->networkignored->setText(notes.join('\n'));
  ui_->networkignored->setToolTip(notes.join('\n'));
  ui_->networkignored->setVisible(!notes.isEmpty());
  QLabel& ignored = *ui_->networkignored;
  ignored.resize(ignored.width(), ignored.heightForWidth(ignored.width()));
  placeButtons(!notes.isEmpty());
  showTlsFiles();
  ui_->networkaddress->selectAll();
  FocusDrawn(*ui_->networkaddress);
}

// The buttons stand below the ignored lines when there are some, else right below the
// TLS files, and the dialog ends below them.
void TNetworkTimerForm::placeButtons(bool notes_shown) {
  const QWidget& above = notes_shown ? static_cast<QWidget&>(*ui_->networkignored) : *ui_->networktlsfiles;
  const int top = above.geometry().bottom() + kButtonGap;
  ui_->networkok->move(ui_->networkok->x(), top);
  ui_->networkcancel->move(ui_->networkcancel->x(), top);
  setFixedHeight(top + ui_->networkok->height() + kButtonGap + 4);
}

void TNetworkTimerForm::showTlsFiles() {
  const QString state = TlsFilesSummary(settingsFolder()).join('\n');
  ui_->networktlsstate->setText(state);
  ui_->networktlsstate->setToolTip(state);  // a long path may not fit the line
  const TlsFiles files = TlsFilesIn(settingsFolder());
  ui_->networktlsclear->setEnabled(files.ca || files.cert || files.key);
}

void TNetworkTimerForm::networktlsClick() {
  const QSignalBlocker quiet(ui_->networkaddress);
  ui_->networkaddress->setText(WithTls(ui_->networkaddress->text(), ui_->networktls->isChecked()));
}

void TNetworkTimerForm::networkaddressChange() { ui_->networktls->setChecked(NamesTls(ui_->networkaddress->text())); }

void TNetworkTimerForm::networkcaClick() {
  ChooseTlsCa(settingsFolder(), console_.prompts);
  showTlsFiles();
}

void TNetworkTimerForm::networkcertClick() {
  ChooseTlsCertificate(settingsFolder(), console_.prompts);
  showTlsFiles();
}

void TNetworkTimerForm::networktlsclearClick() {
  ClearTlsChoice(settingsFolder(), console_.prompts);
  showTlsFiles();
}

void TNetworkTimerForm::networkokClick() {
  const NetworkSetupOutcome outcome =
      StoreNetworkTimer(port_, ui_->networkaddress->text(), settingsFolder(), console_.prompts);
  if (outcome == NetworkSetupOutcome::Refused || outcome == NetworkSetupOutcome::Declined) {
    FocusDrawn(*ui_->networkaddress);
    return;
  }
  accept();
}

}  // namespace zmr
