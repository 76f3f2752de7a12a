#pragma once
// About: version, release date, the maker's links, and the way back to the welcome dialog.
#include <memory>

#include "windows/console.h"
#include "windows/shell_links.h"

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

 private:
  void showSettingsPlace();

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
inline const QString kReleaseDate = QStringLiteral("FEBRUARY 2004");

}  // namespace zmr
