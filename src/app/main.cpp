// Vellora: the 2-D Ising model by Metropolis Monte Carlo, shown live.
#include "app/application.h"
#include "app/main_window.h"

int main(int argc, char** argv) {
  vellora::app::Application application(argc, argv);
  vellora::app::TForm1 form(application.Errors());
  form.show();
  return vellora::app::Application::exec();
}
