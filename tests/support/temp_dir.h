#pragma once
// A fresh folder per test, removed afterwards.
#include <QDir>
#include <QString>
#include <QTemporaryDir>

namespace zmr::testing {

class TempDir {
 public:
  TempDir() { dir_.setAutoRemove(true); }
  // With a trailing separator, the way program_folder and project_folder hold folders.
  QString folder() const { return dir_.path() + '/'; }
  QString file(const QString& name) const { return dir_.filePath(name); }

 private:
  QTemporaryDir dir_;
};

}  // namespace zmr::testing
