// main() for the tests that need Qt widgets but not the program's application object: the
// offscreen platform is chosen before the application exists (test discovery runs the binary
// outside the test environment), then the tests run.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>

namespace vellora::testsupport {

inline int RunOffscreenTests(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

}  // namespace vellora::testsupport
