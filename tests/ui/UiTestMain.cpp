// The windows' tests run offscreen inside one QApplication.
#include <gtest/gtest.h>

#include <QApplication>

#include "ui/PlatformServices.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  QApplication::setApplicationVersion(QStringLiteral("9.8.7"));
  // The engines' messages become message boxes, as in the program.
  zyl::ui::InstallMessageBoxes();
  return RUN_ALL_TESTS();
}
