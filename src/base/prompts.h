#pragma once
// Everything the console asks of the person in front of it goes through Prompts:
// message boxes (with the exclamation beep that usually precedes them), file dialogs,
// the shell's "open", the clipboard, the hourglass cursor and a turn of the message
// loop. The windows install the Qt implementation; tests install a recording fake.
#include <QString>
#include <optional>

namespace zmr {

enum class BoxKind { Error, Warning, Information };
enum class BoxButtons { Ok, YesNo };
enum class BoxAnswer { Ok, Yes, No };

struct FileDialogRequest {
  QString caption;          // empty: the application title
  QString initial_folder;   // empty: the dialog's own choice
  QString filter;           // as the console names it, e.g. "project setup file (*.zmr)|*.zmr"
  QString default_suffix;   // without the dot
  QString proposed_name;    // save dialogs only
};

class Prompts {
 public:
  virtual ~Prompts() = default;

  // The system's exclamation sound.
  virtual void beep() = 0;
  // A modal box with the application title as caption.
  virtual BoxAnswer message(BoxKind kind, const QString& text, BoxButtons buttons = BoxButtons::Ok) = 0;
  // Open and save dialogs; nullopt when the user cancels. The save dialog asks before
  // it overwrites an existing file.
  virtual std::optional<QString> openFileName(const FileDialogRequest& request) = 0;
  virtual std::optional<QString> saveFileName(const FileDialogRequest& request) = 0;
  // The shell's "open" verb on a local file, a mailto: or a web address. False when
  // nothing on this machine could open it (no browser, no e-mail program).
  virtual bool shellOpen(const QString& target) = 0;
  virtual void setClipboardText(const QString& text) = 0;
  // Show or take back the hourglass cursor (see BusyCursor).
  virtual void setBusyCursor(bool busy) = 0;
  // Let pending window messages run once, so that a window repaints mid-handler.
  virtual void processEvents() = 0;
};

// Prompts where no person watches (a shell, a job, a check): there is nobody to pick a
// file, nothing to open, copy, beep or repaint; only the boxes' texts go somewhere.
class HeadlessPrompts : public Prompts {
 public:
  void beep() override {}
  std::optional<QString> openFileName(const FileDialogRequest&) override { return std::nullopt; }
  std::optional<QString> saveFileName(const FileDialogRequest&) override { return std::nullopt; }
  bool shellOpen(const QString&) override { return false; }
  void setClipboardText(const QString&) override {}
  void setBusyCursor(bool) override {}
  void processEvents() override {}
};

// Shows the hourglass for its lifetime and puts the previous cursor back on every way
// out, including an exception; restore() does it early, before a message box.
class BusyCursor {
 public:
  explicit BusyCursor(Prompts& prompts) : prompts_(prompts) { prompts_.setBusyCursor(true); }
  ~BusyCursor() { restore(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
  void restore() {
    if (active_) {
      active_ = false;
      prompts_.setBusyCursor(false);
    }
  }

 private:
  Prompts& prompts_;
  bool active_ = true;
};

// The text every failed timer request shows.
inline const QString kTimerNotFoundText =
    QStringLiteral("Timer was not found, or there was a problem establishing a connection!");

}  // namespace zmr
