// Vellora: the 2-D Ising model by Metropolis Monte Carlo, shown live.
#include "app/application.h"
#include "app/main_window.h"
#include "app/platform.h"
#include "app/program_icon.h"

int main(int argc, char** argv) {
  vellora::app::Application application(argc, argv);
  // Docks and Wayland compositors match the window to the installed desktop entry by this name.
  QGuiApplication::setDesktopFileName(vellora::app::ApplicationId());
  QApplication::setWindowIcon(vellora::app::ProgramIcon());
  vellora::app::TForm1 form(application.Errors());
  vellora::app::ShowMainWindow(form);
  return vellora::app::Application::exec();
}
