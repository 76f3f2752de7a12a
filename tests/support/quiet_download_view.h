#pragma once
// A DownloadView that shows nothing, for runs that only count results.
#include "hardware/download_view.h"

namespace zmr::testing {

class QuietDownloadView : public DownloadView {
 public:
  void addLine(const QString&) override {}
  void clearLines() override {}
  void setProgress(int, int) override {}
  void setDownloadEnabled(bool) override {}
  void setUpdateEnabled(bool) override {}
  void setCloseEnabled(bool) override {}
};

}  // namespace zmr::testing
