#include <gtest/gtest.h>

#include <QApplication>
#include <clocale>

#include "tests/support/machine_services.h"

// Every test binary gets a QApplication (widgets need one) and the Russian
// locale the program runs under; offscreen unless a display was asked for.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // The program refuses any other system language.
  qputenv("LANG", "ru_RU.UTF-8");
  qputenv("LC_ALL", "ru_RU.UTF-8");
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  const TMachineFakes harmless;
  return RUN_ALL_TESTS();
}
