#include "windows/mainform.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QToolButton>

#include "base/prompts.h"
#include "exchange/exchange_commands.h"
#include "hardware/activation.h"
#include "hardware/week_state.h"
#include "link/port_map.h"
#include "link/port_lease.h"
#include "link/port_names.h"
#include "link/timer_link.h"
#include "project/save_as.h"
#include "project/settings.h"
#include "ui_main.h"
#include "ui/artwork.h"
#include "ui/help_window.h"
#include "ui/shared_access_keys.h"
#include "ui/transient_note.h"

namespace zmr {

namespace {
const QString kHelpPage = QStringLiteral("default.htm");
constexpr int kWelcomeDelayMs = 100;
const QString kBigTileStyle = QStringLiteral(
    "QToolButton { background: rgba(255, 255, 255, 22); color: #f4f1e8; border: 2px solid transparent;"
    " border-radius: 10px; padding: 2px 8px 2px 2px; font-weight: bold; font-size: 16px; text-align: left; }"
    "QToolButton:hover { background: rgba(255, 255, 255, 56); border-color: rgba(255, 255, 255, 90); }"
    "QToolButton:pressed { background: rgba(0, 0, 0, 70); border-color: rgba(255, 255, 255, 60); }"
    "QToolButton:focus { border-color: #e9a23b; }"
    "QToolButton:disabled { background: rgba(0, 0, 0, 30); color: rgba(244, 241, 232, 80); }");
}  // namespace

QString RecentEntryCaption(int k, const QString& path) {
  QString name = QFileInfo(path).fileName();
  name.replace(u'&', QStringLiteral("&&"));
  return QStringLiteral("&%1 ").arg(k) + name;
}

TMainform::TMainform(Console& console, QStringList arguments, QWidget* parent)
    : QMainWindow(parent), console_(console), arguments_(std::move(arguments)), ui_(new Ui::TMainform) {
  ui_->setupUi(this);
  for (QAction* separator : {ui_->N1, ui_->N2, ui_->N3, ui_->N6, ui_->N7, ui_->nameline}) {
    separator->setSeparator(true);
  }
  timer1_.setSingleShot(true);
  timer1_.setInterval(kWelcomeDelayMs);
  connect(&timer1_, &QTimer::timeout, this, &TMainform::Timer1Timer);
  FormCreate();
  connectCommands();
  // "&Print" and "&Properties" share P: a second press moves on, also out of Print's submenu.
  CycleSharedAccessKeys(*ui_->MainMenu1);
}

TMainform::~TMainform() = default;

void TMainform::FormCreate() {
  ui_->Image2->setPixmap(BackgroundPicture(size()));
  ui_->Image1->setPixmap(MainPicture());
  const int big = kBigButtonSize - 8;
  ui_->bignewbut->setIcon(GlyphIcon(Glyph::NewProject, big));
  ui_->bigopenbut->setIcon(GlyphIcon(Glyph::OpenProject, big));
  ui_->bigtriggerdetailsbut->setIcon(GlyphIcon(Glyph::Schedule, big));
  ui_->bigcompilebut->setIcon(GlyphIcon(Glyph::Download, big));
  // Each big button is one tile, picture and caption, with one look for hover, press,
  // keyboard focus and unavailable (the picture greys through its disabled icon).
  for (QToolButton* tile : {ui_->bignewbut, ui_->bigopenbut, ui_->bigtriggerdetailsbut, ui_->bigcompilebut}) {
    tile->setStyleSheet(kBigTileStyle);
    tile->setCursor(Qt::PointingHandCursor);
  }
  // The two report buttons show no tooltip; a screen reader still needs their names.
  ui_->ToolBar1->widgetForAction(ui_->toolbutpreview)->setAccessibleName(ui_->printpreview->text());
  ui_->ToolBar1->widgetForAction(ui_->toolbutprint)->setAccessibleName(ui_->printprint->text());
  const struct {
    QAction* menu;
    QAction* tool;
    Glyph glyph;
  } pictures[] = {
      {ui_->New1, ui_->toolbutnew, Glyph::NewProject},
      {ui_->Open1, ui_->toolbutopen, Glyph::OpenProject},
      {ui_->Close1, ui_->toolbutclose, Glyph::CloseProject},
      {ui_->Properties1, ui_->toolbutproperties, Glyph::Properties},
      {ui_->printpreview, ui_->toolbutpreview, Glyph::Preview},
      {ui_->printprint, ui_->toolbutprint, Glyph::Print},
      {ui_->TriggerDetails1, ui_->toolbuttrigsall, Glyph::Schedule},
      {ui_->Download1, ui_->toolbutdownload, Glyph::Download},
      {ui_->Activate1, ui_->ActivateBut, Glyph::Activate},
      {ui_->Deactivate1, ui_->DeactivateBut, Glyph::Deactivate},
  };
  for (const auto& p : pictures) {
    const QIcon icon = GlyphIcon(p.glyph, kToolIconSize);
    p.menu->setIcon(icon);
    p.tool->setIcon(icon);
  }
  // The week list's preview and print carry the report's pictures.
  ui_->listpreview->setIcon(GlyphIcon(Glyph::Preview, kToolIconSize));
  ui_->listprint->setIcon(GlyphIcon(Glyph::Print, kToolIconSize));
  // The two print buttons show no tip; a screen reader still names them by their menu item.
  for (QAction* a : {ui_->toolbutpreview, ui_->toolbutprint}) {
    QAction* menu = a == ui_->toolbutpreview ? ui_->printpreview : ui_->printprint;
    if (QWidget* button = ui_->ToolBar1->widgetForAction(a)) {
      button->setAccessibleName(menu->text());
    }
  }
}

void TMainform::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  // The background follows the window on all four sides.
  ui_->Image2->setGeometry(ui_->centralwidget->rect());
  if (ui_->Image2->pixmap().size() != ui_->Image2->size()) {
    ui_->Image2->setPixmap(BackgroundPicture(ui_->Image2->size()));
  }
}

void TMainform::connectCommands() {
  const auto bind = [this](auto* sender, auto signal, void (TMainform::*handler)()) {
    connect(sender, signal, this, handler);
  };
  bind(ui_->New1, &QAction::triggered, &TMainform::New1Click);
  bind(ui_->toolbutnew, &QAction::triggered, &TMainform::toolbutnewClick);
  bind(ui_->bignewbut, &QToolButton::clicked, &TMainform::bignewbutClick);
  bind(ui_->Open1, &QAction::triggered, &TMainform::Open1Click);
  bind(ui_->toolbutopen, &QAction::triggered, &TMainform::toolbutopenClick);
  bind(ui_->bigopenbut, &QToolButton::clicked, &TMainform::bigopenbutClick);
  bind(ui_->SaveAs1, &QAction::triggered, &TMainform::SaveAs1Click);
  bind(ui_->Close1, &QAction::triggered, &TMainform::Close1Click);
  bind(ui_->toolbutclose, &QAction::triggered, &TMainform::toolbutcloseClick);
  bind(ui_->Properties1, &QAction::triggered, &TMainform::Properties1Click);
  bind(ui_->toolbutproperties, &QAction::triggered, &TMainform::toolbutpropertiesClick);
  bind(ui_->ExportSchedule1, &QAction::triggered, &TMainform::ExportSchedule1Click);
  bind(ui_->ImportSchedule1, &QAction::triggered, &TMainform::ImportSchedule1Click);
  bind(ui_->clearhistorylist, &QAction::triggered, &TMainform::clearhistorylistClick);
  bind(ui_->Help2, &QAction::triggered, &TMainform::Help2Click);
  bind(ui_->Exit1, &QAction::triggered, &TMainform::Exit1Click);
  bind(ui_->Ports1, &QAction::triggered, &TMainform::Ports1Click);
  bind(ui_->About1, &QAction::triggered, &TMainform::About1Click);
  bind(ui_->Activate1, &QAction::triggered, &TMainform::Activate1Click);
  bind(ui_->Deactivate1, &QAction::triggered, &TMainform::Deactivate1Click);
  bind(ui_->ActivateBut, &QAction::triggered, &TMainform::ActivateButClick);
  bind(ui_->DeactivateBut, &QAction::triggered, &TMainform::DeactivateButClick);
  bind(ui_->printpreview, &QAction::triggered, &TMainform::printpreviewClick);
  bind(ui_->toolbutpreview, &QAction::triggered, &TMainform::toolbutpreviewClick);
  bind(ui_->printprint, &QAction::triggered, &TMainform::printprintClick);
  bind(ui_->toolbutprint, &QAction::triggered, &TMainform::toolbutprintClick);
  bind(ui_->printpdf, &QAction::triggered, &TMainform::printpdfClick);
  bind(ui_->listpreview, &QAction::triggered, &TMainform::listpreviewClick);
  bind(ui_->listprint, &QAction::triggered, &TMainform::listprintClick);
  bind(ui_->listpdf, &QAction::triggered, &TMainform::listpdfClick);
  const auto entries = recentEntries();
  for (int k = 1; k <= kRecentProjects; ++k) {
    connect(entries[k - 1], &QAction::triggered, this, [this, k] { OpenRecent(k); });
  }
  // Windows of later parts of the program: each command shows its window once it exists.
  for (auto [action, window] : {std::pair{ui_->TriggerDetails1, &MainDialogs::schedule},
                                {ui_->toolbuttrigsall, &MainDialogs::schedule},
                                {ui_->Download1, &MainDialogs::compile},
                                {ui_->toolbutdownload, &MainDialogs::compile},
                                {ui_->HardwareStatus1, &MainDialogs::status}}) {
    connect(action, &QAction::triggered, this, [this, window] { showDialog(dialogs_.*window); });
  }
  connect(ui_->YearPlan1, &QAction::triggered, this, [this] { showWindow(dialogs_.yearplan); });
  connect(ui_->bigtriggerdetailsbut, &QToolButton::clicked, this, [this] { showDialog(dialogs_.schedule); });
  connect(ui_->bigcompilebut, &QToolButton::clicked, this, [this] { showDialog(dialogs_.compile); });
}

std::array<QAction*, kRecentProjects> TMainform::recentEntries() const {
  return {ui_->menufile1, ui_->menufile2, ui_->menufile3, ui_->menufile4, ui_->menufile5};
}

void TMainform::setDialogs(const MainDialogs& dialogs) {
  dialogs_ = dialogs;
  RefreshMainMenu();
}

void TMainform::setCaption(const QString& caption) { setWindowTitle(caption); }

void TMainform::showDialog(ConsoleDialog* dialog) {
  if (dialog != nullptr) {
    console_.runner.run(*dialog);
  }
}

void TMainform::showWindow(ConsoleDialog* window) {
  if (window == nullptr) return;
  // One at a time: asked again, the window that is open comes to the front as it is.
  if (!window->isVisible()) {
    window->FormShow();
    window->show();
  }
  window->raise();
  window->activateWindow();
}

void TMainform::RefreshMainMenu() {
  ui_->nameline->setVisible(false);
  const auto entries = recentEntries();
  for (int k = 1; k <= kRecentProjects; ++k) {
    QAction* entry = entries[k - 1];
    entry->setText(QString());
    entry->setVisible(false);
    const QString path = console_.data.settings.recent_projects[k - 1].text();
    if (!path.isEmpty() && QFileInfo(path).isFile()) {
      entry->setText(RecentEntryCaption(k, path));
      entry->setVisible(true);
      ui_->nameline->setVisible(true);
    }
  }

  const bool open = console_.data.state.project_open;
  refreshProjectChoice(open);
  for (QAction* a : {ui_->Close1, ui_->toolbutclose}) {
    a->setEnabled(open);
  }
  for (QAction* a : {ui_->Properties1, ui_->toolbutproperties}) {
    a->setEnabled(open && dialogs_.properties != nullptr);
  }
  ui_->ExportSchedule1->setEnabled(open);
  ui_->ImportSchedule1->setEnabled(open && !console_.data.state.project_readonly);
  // A command whose window is not part of the program yet stays unavailable.
  const bool report = open && console_.report != nullptr;
  ui_->Print1->setEnabled(report);
  ui_->Print1->menuAction()->setEnabled(report);
  for (QAction* a : {ui_->printpreview, ui_->printprint, ui_->printpdf, ui_->toolbutpreview, ui_->toolbutprint,
                     ui_->listpreview, ui_->listprint, ui_->listpdf}) {
    a->setEnabled(report);
  }
  const bool schedule = open && dialogs_.schedule != nullptr;
  ui_->Triggers1->menuAction()->setEnabled(schedule);
  ui_->TriggerDetails1->setEnabled(schedule);
  ui_->toolbuttrigsall->setEnabled(schedule);
  ui_->bigtriggerdetailsbut->setEnabled(schedule);
  const bool compile = open && dialogs_.compile != nullptr;
  ui_->Download1->setEnabled(compile);
  ui_->toolbutdownload->setEnabled(compile);
  ui_->bigcompilebut->setEnabled(compile);
  ui_->HardwareStatus1->setEnabled(dialogs_.status != nullptr);
  // The year plan names its own weeks: it needs no project open.
  ui_->YearPlan1->setEnabled(dialogs_.yearplan != nullptr);
  ui_->Ports1->setEnabled(dialogs_.options != nullptr);
  ui_->About1->setEnabled(dialogs_.about != nullptr);
  const bool link = console_.link != nullptr;
  for (QAction* a : {ui_->Activate1, ui_->Deactivate1, ui_->ActivateBut, ui_->DeactivateBut}) {
    a->setEnabled(link);
  }
}

void TMainform::refreshProjectChoice(bool open) {
  for (QAction* a : {ui_->New1, ui_->toolbutnew, ui_->Open1, ui_->toolbutopen}) {
    a->setEnabled(true);
  }
  ui_->bignewbut->setEnabled(true);
  ui_->bigopenbut->setEnabled(true);
  for (QAction* entry : recentEntries()) {
    entry->setEnabled(true);
  }
  ui_->SaveAs1->setEnabled(open);
}

bool TMainform::closeBeforeAnother() {
  if (console_.data.state.project_open) {
    CloseProject();
  }
  return !console_.data.state.project_open;
}

void TMainform::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!shown_once_) {
    shown_once_ = true;
    // Queued, so that it runs from the event loop under the general error box.
    QMetaObject::invokeMethod(this, &TMainform::FormShow, Qt::QueuedConnection);
  }
}

void TMainform::FormShow() {
  auto& data = console_.data;
  setCaption(QStringLiteral("Zemra"));
  if (data.state.program_folder.isEmpty()) {
    data.state.program_folder = ExecutableFolder();
  }
  data.state.project_open = false;
  data.state.project_changed = false;
  LoadSettings(data.settings, data.state.program_folder);
  UsePortMapFolder(SettingsFolder(data.state.program_folder));  // COMn mapped across the network
  RefreshMainMenu();
  console_.prompts.processEvents();
  if (!arguments_.isEmpty()) {
    data.state.project_path = arguments_.front();
    OpenProjectFile(data, console_.prompts, *this);
  } else {
    timer1_.start();
  }
}

void TMainform::Timer1Timer() {
  timer1_.stop();
  if (console_.data.settings.show_welcome == 1) {
    showDialog(dialogs_.welcome);
  }
}

namespace {

// A changed project whose exact week the record says the timer on its port holds was
// downloaded, whichever window or job put it there.
bool ChangedButNotDownloaded(const Console& console) {
  const ConsoleData& data = console.data;
  return data.state.project_changed &&
         !TimerHoldsWeek(console.state_folder, TimerKeyOf(PortName(data.settings.com_port)), data.project);
}

}  // namespace

bool TMainform::FormCloseQuery() {
  // The Year Plan window goes with the program: first what it holds is stored.
  if (ConsoleDialog* plan = dialogs_.yearplan; plan != nullptr && plan->isVisible() && !plan->mayCloseWithProgram()) {
    return false;
  }
  if (!ChangedButNotDownloaded(console_)) {
    return true;
  }
  console_.prompts.beep();
  return console_.prompts.message(BoxKind::Warning, kExitChangedText, BoxButtons::YesNo) == BoxAnswer::Yes;
}

void TMainform::closeEvent(QCloseEvent* event) {
  if (FormCloseQuery()) {
    // Not a child of this window: the program ends only once it is gone too.
    if (dialogs_.yearplan != nullptr) dialogs_.yearplan->hide();
    event->accept();
  } else {
    event->ignore();
  }
}

void TMainform::Exit1Click() { close(); }

void TMainform::NewProject() {
  if (!closeBeforeAnother()) {
    return;
  }
  auto& state = console_.data.state;
  state.properties_mode = false;
  state.project_open = false;
  state.project_readonly = false;
  showDialog(dialogs_.properties);
  if (state.project_open && PushRecentProject(console_.data.settings, state.project_path)) {
    SaveSettings(console_.data.settings, state.program_folder);
  }
  RefreshMainMenu();
}

void TMainform::OpenProject() {
  if (closeBeforeAnother()) {
    OpenProjectDialog(console_.data, console_.prompts, *this);
  }
}

void TMainform::CloseProject() {
  auto& state = console_.data.state;
  if (ChangedButNotDownloaded(console_)) {
    console_.prompts.beep();
    if (console_.prompts.message(BoxKind::Warning, kCloseChangedText, BoxButtons::YesNo) != BoxAnswer::Yes) {
      return;
    }
  }
  state.project_changed = false;
  state.project_open = false;
  setCaption(QStringLiteral("Zemra"));
  RefreshMainMenu();
}

void TMainform::ShowProperties() {
  console_.data.state.properties_mode = true;
  showDialog(dialogs_.properties);
}

void TMainform::SaveAs1Click() {
  if (const auto note = SaveProjectAs(console_.data, console_.prompts, *this)) {
    NoteOf(*this).show(*note);
  }
}

void TMainform::ExportSchedule1Click() {
  if (const auto note = ExportScheduleCommand(console_.data, console_.prompts)) {
    NoteOf(*this).show(*note);
  }
}

void TMainform::ImportSchedule1Click() {
  if (const auto note = ImportScheduleCommand(console_.data, console_.prompts)) {
    NoteOf(*this).show(*note);
  }
}

void TMainform::OpenRecent(int k) {
  auto& data = console_.data;
  if (!closeBeforeAnother()) {
    return;
  }
  data.state.project_path = data.settings.recent_projects[k - 1].text();
  OpenProjectFile(data, console_.prompts, *this);
}

void TMainform::clearhistorylistClick() {
  ClearRecentProjects(console_.data.settings, console_.data.state.program_folder);
  RefreshMainMenu();
}

void TMainform::Help2Click() { OpenHelpPage(console_, *this, kHelpPage); }

void TMainform::Ports1Click() { showDialog(dialogs_.options); }

void TMainform::About1Click() { showDialog(dialogs_.about); }

void TMainform::printpreviewClick() {
  if (console_.report != nullptr) {
    console_.report->PrintScheduleReport(kReportPreview);
  }
}

void TMainform::printprintClick() {
  if (console_.report != nullptr) {
    console_.report->PrintScheduleReport(kReportPrint);
  }
}

void TMainform::printpdfClick() {
  if (console_.report != nullptr) {
    console_.report->SaveScheduleReportPdf();
  }
}

void TMainform::listpreviewClick() { withReport([](ScheduleReport& r) { r.PrintWeekList(kReportPreview); }); }
void TMainform::listprintClick() { withReport([](ScheduleReport& r) { r.PrintWeekList(kReportPrint); }); }
void TMainform::listpdfClick() { withReport([](ScheduleReport& r) { r.SaveWeekListPdf(); }); }

void TMainform::withReport(const std::function<void(ScheduleReport&)>& command) {
  if (console_.report != nullptr) {
    command(*console_.report);
  }
}

namespace {

// A port that cannot be opened ends the command with its port error before any request.
bool RunActivation(Console& console, bool (*operation)(TimerLink&, Prompts&)) {
  if (console.link == nullptr) {
    return false;
  }
  const PortLease lease(*console.link, PortName(console.data.settings.com_port));
  return operation(*console.link, console.prompts);
}

}  // namespace

void TMainform::Activate1Click() { RunActivation(console_, ActivateTimer); }

void TMainform::Deactivate1Click() { RunActivation(console_, DeactivateTimer); }

void TMainform::ActivateButClick() {
  if (RunActivation(console_, ActivateTimer)) {
    console_.prompts.beep();
  }
}

void TMainform::DeactivateButClick() {
  if (RunActivation(console_, DeactivateTimer)) {
    console_.prompts.beep();
  }
}

}  // namespace zmr
