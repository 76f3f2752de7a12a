#pragma once
// About: version, release date, the maker's links, and the way back to the welcome dialog.
#include <memory>

#include "ui/console.h"
#include "ui/maker.h"
#include "ui/shell_links.h"

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

}  // namespace zmr
