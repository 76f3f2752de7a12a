#include "hardware/activation.h"

#include "base/prompts.h"
#include "link/timer_link.h"

namespace zmr {
namespace {

// The shape all three share: hourglass, optional preamble, one request, and on a false
// result the beep and the error box after the cursor is back.
bool RunCommand(TimerLink& link, Prompts& prompts, bool preamble, TimerCommand command, std::uint8_t length) {
  BusyCursor busy(prompts);
  if (preamble) {
    link.LinkPreamble();
  }
  const bool ok = link.Transact(command, 0, length);
  busy.restore();
  if (!ok) {
    prompts.beep();
    prompts.message(BoxKind::Error, kTimerNotFoundText);
  }
  return ok;
}

constexpr std::uint8_t kOutputTestLength = 10;

}  // namespace

bool ActivateTimer(TimerLink& link, Prompts& prompts) {
  return RunCommand(link, prompts, true, TimerCommand::ActivateCmd, 0);
}

bool DeactivateTimer(TimerLink& link, Prompts& prompts) {
  return RunCommand(link, prompts, false, TimerCommand::DeactivateCmd, 0);
}

bool TestOutput(TimerLink& link, Prompts& prompts) {
  // The payload is link_data 0..9 as the preamble's reply left them.
  return RunCommand(link, prompts, true, TimerCommand::OutputTest, kOutputTestLength);
}

}  // namespace zmr
