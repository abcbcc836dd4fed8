#pragma once

#include "sim/memory.h"

namespace qv82::sim {

// The memory a new simulated coin selector leaves the factory with: the text
// of src/sim/factory_image.txt, compiled in (see CMakeLists.txt), over an
// erased image. Its masks are those of the file; the device lays its own
// over them.
const Memory::Image& factory_image();

// All FF, as the erased flash reads.
Memory::Image erased_image();

// The text the factory image is made from.
const char* factory_image_text();

}  // namespace qv82::sim
