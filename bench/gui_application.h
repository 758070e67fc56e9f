// The benchmarks that paint need a GUI application object for fonts and images; one is made on
// first use, off-screen, and kept for the rest of the run.
#pragma once

#include <QCoreApplication>
#include <QGuiApplication>

namespace vellora::bench {

inline void EnsureGuiApplication() {
  if (QCoreApplication::instance() != nullptr) return;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "vellora_bench";
  static char* argv[] = {name, nullptr};
  static QGuiApplication application(argc, argv);
}

}  // namespace vellora::bench
