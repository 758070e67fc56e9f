#include "sim/random_source.h"

namespace vellora::sim {

RandomSource& ProcessRandomSource() {
  static RandomSource source;
  return source;
}

}  // namespace vellora::sim
