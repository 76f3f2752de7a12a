#pragma once
// One-shot timer operations: activate, deactivate, output test. Each shows the
// hourglass while it runs and, on failure, the beep and the "Timer was not found" box.
namespace zmr {

class Prompts;
class TimerLink;

bool ActivateTimer(TimerLink& link, Prompts& prompts);    // preamble + 'E'
bool DeactivateTimer(TimerLink& link, Prompts& prompts);  // 'D' alone
bool TestOutput(TimerLink& link, Prompts& prompts);       // preamble + 'T', link_data 0..9 as they stand

}  // namespace zmr
