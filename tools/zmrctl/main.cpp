#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <iostream>
#include <memory>

#include "project/settings.h"
#include "zmrctl/zmrctl.h"

namespace {

// systemd names the stream it reads a service's output from in $JOURNAL_STREAM
// ("device:inode"); only lines written there may carry a "<3>" priority prefix.
bool StdoutIsTheJournal() {
  const QByteArray stream = qgetenv("JOURNAL_STREAM");
  struct stat st {};
  if (stream.isEmpty() || ::fstat(STDOUT_FILENO, &st) != 0) return false;
  return stream == QByteArray::number(static_cast<qulonglong>(st.st_dev)) + ':' +
                        QByteArray::number(static_cast<qulonglong>(st.st_ino));
}

}  // namespace

int main(int argc, char** argv) {
  QStringList args;
  for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
  std::unique_ptr<QCoreApplication> app;
  if (zmr::ctl::NeedsGuiApplication(args)) {
    // zmrctl never shows a window: the offscreen platform draws the pages anywhere. Its
    // notes about the desktop session (no runtime folder under cron or ssh) are no
    // concern of a command-line tool, whose stderr carries only its own messages.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
      if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << text.toStdString() << '\n';
    });
    app = std::make_unique<QGuiApplication>(argc, argv);
  } else {
    app = std::make_unique<QCoreApplication>(argc, argv);
  }
  zmr::SystemClock clock;
  zmr::ctl::Environment env{std::cout, std::cerr, clock};
  env.terminal = isatty(STDERR_FILENO) != 0;
  env.journal = StdoutIsTheJournal();
  env.root = ::geteuid() == 0;
  env.program_folder = zmr::ExecutableFolder();
  args = QCoreApplication::arguments();
  args.removeFirst();
  return zmr::ctl::Run(args, env);
}
