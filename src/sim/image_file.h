#pragma once

#include <string>

#include "sim/memory.h"

namespace qv82::sim {

// Memory image files of the simulator: text, one block per line,
//   ADDR: HEX HEX ...
// ADDR is the hexadecimal address of the first byte (up to 4 digits), the
// bytes follow as two hex digits each, blanks between them optional. Blank
// lines and lines starting with '#' are ignored. Bytes a file does not
// mention keep their value. Saved files hold the whole image, 32 bytes a
// line.

// Applies image text to the image; name stands for it in the error. On
// failure the image is unchanged.
bool apply_image_text(const std::string& text, const std::string& name, Memory::Image& image,
                      std::string& error);

// Applies the file to the image. On failure the image is unchanged and
// error says why ("image.txt line 3: ...").
bool load_image_file(const std::string& path, Memory::Image& image, std::string& error);

// Writes the whole image. A temporary file is renamed into place, so a
// failure never leaves a half-written file under the name.
bool save_image_file(const std::string& path, const Memory::Image& image, std::string& error);

}  // namespace qv82::sim
