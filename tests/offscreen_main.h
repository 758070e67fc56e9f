// main() for the tests that need Qt widgets but not the program's application object: the
// offscreen platform is chosen before the application exists (test discovery runs the binary
// outside the test environment), then the tests run.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QFont>

namespace vellora::testsupport {

inline int RunOffscreenTests(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  // The program's charts ask for Arial, which fontconfig finds as Liberation Sans on Linux; the
  // offscreen platform on Windows reads a folder of fonts without any such aliases.
  QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

}  // namespace vellora::testsupport
