#pragma once
// A download's memo lines on stdout; the day progress as a bar on a terminal only.
#include <ostream>

#include "hardware/download_view.h"

namespace zmr::ctl {

class ConsoleDownloadView : public DownloadView {
 public:
  ConsoleDownloadView(std::ostream& out, std::ostream& err, bool terminal)
      : out_(out), err_(err), terminal_(terminal) {}
  ~ConsoleDownloadView() override { endProgress(); }
  void addLine(const QString& line) override;
  void clearLines() override {}
  void setProgress(int position, int maximum) override;
  void setDownloadEnabled(bool) override {}
  void setUpdateEnabled(bool) override {}
  void setCloseEnabled(bool) override {}

 private:
  void endProgress();

  std::ostream& out_;
  std::ostream& err_;
  bool terminal_;
  bool progress_shown_ = false;
};

}  // namespace zmr::ctl
