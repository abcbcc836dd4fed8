#pragma once

namespace qv82 {

// The program's version, shown in the title, on the About page and by
// --version; the package takes its version from here too.
inline constexpr const char* kVersionText = "1.000";

}  // namespace qv82
