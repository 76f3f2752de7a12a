#include <unistd.h>

#include <QCoreApplication>
#include <iostream>

#include "project/settings.h"
#include "zmrctl/zmrctl.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  zmr::SystemClock clock;
  zmr::ctl::Environment env{std::cout, std::cerr, clock};
  env.terminal = isatty(STDERR_FILENO) != 0;
  env.program_folder = zmr::ExecutableFolder();
  QStringList args = QCoreApplication::arguments();
  args.removeFirst();
  return zmr::ctl::Run(args, env);
}
