// Arbitrary texts in the four parameter edits, run through start-up and a few ticks with
// in-memory seams: every failure is one of the program's errors with a message, the lattice stays
// a lattice of +1 and -1, and the step counter only moves in whole blocks.
#include <string>

#include "app/controller.h"
#include "app/fake_seams.h"
#include "fuzz_input.h"

using namespace vellora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input input(data, size);
  const int ticks = 1 + input.Byte() % 3;
  const std::string all(input.Rest());
  // The texts are separated by newlines: T, h, J1, J2.
  std::string texts[4];
  std::size_t start = 0;
  for (int k = 0; k < 4; ++k) {
    const std::size_t end = std::min(all.find('\n', start), all.size());
    if (start <= all.size()) texts[k] = all.substr(start, end - start);
    start = end + 1;
  }

  app::testing::FakeWindow window;
  sim::RandomSource random([]() -> std::uint32_t { return 99; });
  app::SimulationController controller(window.Seams(), random);
  controller.FormCreate();
  controller.Button5Click();
  for (int k = 0; k < 4; ++k) window.edits.SetText(static_cast<sim::ParameterEdit>(k), texts[k]);
  controller.State().blockLength = 2000;  // keep an input fast; the arithmetic is the same
  for (int tick = 0; tick < ticks; ++tick) {
    const auto stepsBefore = controller.State().stepCount;
    try {
      controller.Timer1Timer();
      if (controller.State().stepCount != stepsBefore + 2000) fuzz::Fail("step counter", all);
    } catch (const Exception& e) {
      if (e.Message().empty()) fuzz::Fail("an error without a message", all);
      if (controller.State().stepCount != stepsBefore) fuzz::Fail("a failed block advanced", all);
    }
    for (const auto spin : controller.State().lattice.spins) {
      if (spin != 1 && spin != -1) fuzz::Fail("a spin that is neither up nor down", all);
    }
  }
  return 0;
}
