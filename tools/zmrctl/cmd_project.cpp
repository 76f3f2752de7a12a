// The commands that read a project: show, compile, report.
#include <QCoreApplication>
#include <QGuiApplication>

#include "report/paint/schedule_report.h"
#include "report/paint/week_list_report.h"
#include "zmrctl/command.h"
#include "zmrctl/week_table.h"

namespace zmr::ctl {

int ShowCommand(Invocation& run) {
  return run.withProject([&](const ProjectSetup& p) {
    run.env.out << SummaryText(p) + '\n' + WeekTable(p);
    return kExitOk;
  });
}

int CompileCommand(Invocation& run) {
  return run.withProject([&](const ProjectSetup& p) {
    run.env.out << CompiledChunks(p);
    return kExitOk;
  });
}

int ReportCommand(Invocation& run) {
  if (!run.options.pdf) return run.usageError("report needs --pdf OUT.pdf");
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
    run.env.err << "zmrctl: report needs a Qt Gui application\n";
    return kExitOtherFailure;
  }
  return run.withProject([&](const ProjectSetup& p) {
    const QDate today = run.env.clock.now().date();
    if (run.options.list) {
      WriteWeekListPdf(*run.options.pdf, p, today);
    } else {
      WriteSchedulePdf(*run.options.pdf, p, today);
    }
    return kExitOk;
  });
}

}  // namespace zmr::ctl
