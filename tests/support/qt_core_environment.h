#pragma once
// QSerialPort works without an event loop through its waitFor... calls, but its socket
// notifiers warn when no application object exists; the programs always have one, and
// so does a test program that includes this header (once per program is enough).
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <memory>

namespace zmr::testing {

class QtCoreEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (QCoreApplication::instance() == nullptr) app_ = std::make_unique<QCoreApplication>(argc_, argv_);
  }
  void TearDown() override { app_.reset(); }

 private:
  int argc_ = 1;
  char name_[8] = "e2e";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QCoreApplication> app_;
};

// gtest owns the environment; inline so that every file of a program shares one.
inline ::testing::Environment* const kQtCoreEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtCoreEnvironment);

}  // namespace zmr::testing
