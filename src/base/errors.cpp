#include "base/errors.h"

// The classes are header-only; this unit gives the library an object file and pins their
// vtables to one place.
namespace vellora {}
