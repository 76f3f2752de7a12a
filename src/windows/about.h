#pragma once
// About: version, release date, the maker's links, and the way back to the welcome dialog.
#include <memory>

#include "windows/console.h"

namespace Ui {
class Taboutform;
}

namespace zmr {

class Taboutform : public ConsoleDialog {
 public:
  explicit Taboutform(Console& console, QWidget* parent = nullptr);
  ~Taboutform() override;

  Ui::Taboutform& ui() { return *ui_; }

  void FormShow() override;
  void showwelcomeClick();
  void Label2Click();
  void Label1Click();
  void Button1Click();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void showSettingsPlace();
  void openLink(const QString& target, const QString& not_opened_text, const QString& address);

  Console& console_;
  std::unique_ptr<Ui::Taboutform> ui_;
};

inline const QString kMakerStatement = QStringLiteral(
    "ZMR Console is made and cared for by its own small team.\n"
    "It programs the Zemra bell timer over a serial line.\n"
    "Questions, ideas and fault reports are always welcome;\n"
    "write to us or visit our home page below.");
inline const QString kMakerMail = QStringLiteral("support@zmr-console.example");
inline const QString kMakerWeb = QStringLiteral("https://zmr-console.example");
inline const QString kMailNotOpenedText = QStringLiteral(
    "No e-mail program could be opened to write to us.\nYou can select and copy our address from here:\n%1");
inline const QString kWebNotOpenedText = QStringLiteral(
    "No web browser could be opened for our home page.\nYou can select and copy its address from here:\n%1");
inline const QString kReleaseDate = QStringLiteral("FEBRUARY 2004");

}  // namespace zmr
