// The console tests share one QApplication: widget tests need it, and Qt allows only one.
// Test discovery runs the binary without ctest's environment, hence the offscreen default.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>

#include "console/ModalRun.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  // No form waits for a user: a modal form closes at once, as if cancelled, unless a test
  // runs it itself.
  console::SetModalRunner([](QDialog&) { return int(QDialog::Rejected); });
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
