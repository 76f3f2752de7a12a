#pragma once
// A failed job reaches a person through the site's hook: an executable the site puts at
// /etc/zmr-console/on-failure (a mail, a message to a phone), run with the plan's name as
// its argument and the lines of the plan's last run on its standard input.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace zmr {

inline constexpr char kFailureHookName[] = "on-failure";
// A hook that hangs must not hold the failed job's report for ever.
inline constexpr int kFailureHookWaitMs = 120 * 1000;

enum class HookOutcome { NoHook, Refused, Ran, Failed };

struct HookRun {
  HookOutcome outcome = HookOutcome::NoHook;
  int exit_code = 0;  // Ran: the hook's own
  QString problem;    // Refused, Failed: why
};

// Runs the hook at `hook` (absent: nothing). A hook that another user could have changed
// (writable by its group or by anyone, or owned by someone else than root or this user)
// is refused: it runs as root.
HookRun RunFailureHook(const QString& hook, const QString& plan_name, const QByteArray& input,
                       int wait_ms = kFailureHookWaitMs);

// The plan's last recorded run as `zmrctl upkeep --last` prints it, each line prefixed with
// the plan's name; one line saying so when none is recorded.
QStringList LastRunReport(const QString& state_folder, const QString& plan_path);

}  // namespace zmr
