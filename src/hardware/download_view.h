#pragma once
// What a download or clock synchronisation shows while it runs: the status report
// lines, the day progress and which of the window's three buttons may be pressed.
#include <QString>

namespace zmr {

class DownloadView {
 public:
  virtual ~DownloadView() = default;
  virtual void addLine(const QString& line) = 0;
  virtual void clearLines() = 0;
  virtual void setProgress(int position, int maximum) = 0;
  virtual void setDownloadEnabled(bool enabled) = 0;
  virtual void setUpdateEnabled(bool enabled) = 0;
  virtual void setCloseEnabled(bool enabled) = 0;

  void setAllEnabled(bool enabled) {
    setDownloadEnabled(enabled);
    setUpdateEnabled(enabled);
    setCloseEnabled(enabled);
  }
};

}  // namespace zmr
