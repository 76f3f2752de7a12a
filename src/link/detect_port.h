#pragma once
#include <cstdint>

#include <QString>

namespace zmr {

class Prompts;
class TimerLink;
struct ProgramSettings;

// The dialog side of detection: its radio group and Detect button.
class DetectView {
 public:
  virtual ~DetectView() = default;
  virtual void setDetectControlsEnabled(bool enabled) = 0;
  virtual void selectPort(int n) = 0;  // 1..6
};

// Tries COM1 then COM2 for a timer; when one answers, selects it, stores it in com_port
// and saves the settings. Returns the port found, or 0.
int DetectPort(TimerLink& link, ProgramSettings& settings, const QString& program_folder,
               Prompts& prompts, DetectView& view);

}  // namespace zmr
