#include "zmrctl/console_download_view.h"

#include <string>

namespace zmr::ctl {

void ConsoleDownloadView::addLine(const QString& line) {
  endProgress();
  out_ << line.toStdString() << std::endl;
}

void ConsoleDownloadView::setProgress(int position, int maximum) {
  if (!terminal_ || maximum <= 0) return;
  std::string bar(static_cast<std::size_t>(maximum), '.');
  bar.replace(0, static_cast<std::size_t>(position), static_cast<std::size_t>(position), '#');
  err_ << "\r[" << bar << "] day " << position << " of " << maximum << std::flush;
  progress_shown_ = true;
}

void ConsoleDownloadView::endProgress() {
  if (progress_shown_) {
    err_ << '\n';
    progress_shown_ = false;
  }
}

}  // namespace zmr::ctl
