#include "link/detect_port.h"

#include <array>
#include <utility>

#include "base/prompts.h"
#include "link/port_lease.h"
#include "link/port_names.h"
#include "link/timer_link.h"
#include "project/settings.h"

namespace zmr {

namespace {

// Only the first two ports are ever tried, in this order.
constexpr std::array<std::uint8_t, 2> kPortsTried{1, 2};
constexpr std::array<std::uint8_t, 2> kLinkCheckAnswer{'O', 'K'};

// Runs a clean-up step when it goes out of scope, also while an exception passes.
template <typename F>
class OnExit {
 public:
  explicit OnExit(F step) : step_(std::move(step)) {}
  ~OnExit() { step_(); }
  OnExit(const OnExit&) = delete;
  OnExit& operator=(const OnExit&) = delete;

 private:
  F step_;
};

bool AnswersLikeTheTimer(TimerLink& link) {
  link.Transact(TimerCommand::LinkCheck, 0, 0);
  link.clock().sleepMs(kPreamblePauseMs);
  return link.Transact(TimerCommand::LinkCheck, 0, 0) && link.link_data[0] == kLinkCheckAnswer[0] &&
         link.link_data[1] == kLinkCheckAnswer[1];
}

}  // namespace

int DetectPort(TimerLink& link, ProgramSettings& settings, const QString& program_folder,
               Prompts& prompts, DetectView& view) {
  BusyCursor cursor(prompts);
  view.setDetectControlsEnabled(false);
  // Declared after the cursor, so the controls come back before the cursor does.
  const OnExit enable_controls([&view] { view.setDetectControlsEnabled(true); });

  auto not_found = [&] {
    cursor.restore();  // never leave the hourglass over a message box
    prompts.beep();
    prompts.message(BoxKind::Error, kTimerNotFoundText);
    return 0;
  };

  for (const std::uint8_t n : kPortsTried) {
    // A port that cannot be opened throws PortError here and ends the detection.
    const PortLease lease(link, PortName(n));
    if (AnswersLikeTheTimer(link)) {
      cursor.restore();
      prompts.beep();
      prompts.message(BoxKind::Information, QStringLiteral("Timer has been found on Com %1").arg(n));
      view.selectPort(n);
      settings.com_port = n;
      SaveSettings(settings, program_folder);
      return n;
    }
  }
  return not_found();
}

}  // namespace zmr
