#include "plan/ui/plan_file_choice.h"

#include <QFileInfo>

#include "plan/plan_edit.h"

namespace zmr {

std::optional<QString> ChooseForPlan(Prompts& prompts, const YearPlan& plan, const QString& caption,
                                     const QString& filter) {
  FileDialogRequest request;
  request.caption = caption;
  request.initial_folder = QFileInfo(plan.path).absolutePath();
  request.filter = filter;
  const std::optional<QString> chosen = prompts.openFileName(request);
  if (!chosen) return std::nullopt;
  return NameInPlan(plan, *chosen);
}

}  // namespace zmr
