#include "sim/factory_image.h"

#include <stdexcept>
#include <string>

#include "sim/image_file.h"

namespace qv82::sim {

Memory::Image erased_image() {
  Memory::Image image;
  image.fill(0xFF);
  return image;
}

const Memory::Image& factory_image() {
  static const Memory::Image image = [] {
    Memory::Image built = erased_image();
    std::string error;
    // The text is part of the program: a fault in it is the build's, not the user's.
    if (!apply_image_text(factory_image_text(), "factory_image.txt", built, error)) {
      throw std::logic_error(error);
    }
    return built;
  }();
  return image;
}

}  // namespace qv82::sim
