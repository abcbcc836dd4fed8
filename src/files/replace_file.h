#pragma once

#include <optional>
#include <string>

namespace qv82 {

// Writes content to a new file beside path and renames it over path, so a
// failure never leaves a half-written file: the old file (if any) stays as it
// was. The new file keeps the permissions of the one it replaces, and a
// symbolic link is followed rather than replaced. Returns nothing on success,
// otherwise why it failed (the system's words).
std::optional<std::string> replace_file(const std::string& path, const std::string& content);

}  // namespace qv82
