#pragma once

#include <string>

namespace qv82 {

// The path as a message names a file: absolute and without "." or ".."
// steps, so that the reader can find it whichever folder they stand in. A
// path that cannot be made absolute is given back as it is.
std::string full_path(const std::string& path);

}  // namespace qv82
