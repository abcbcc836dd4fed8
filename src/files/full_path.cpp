#include "files/full_path.h"

#include <filesystem>
#include <system_error>

namespace qv82 {

std::string full_path(const std::string& path) {
  if (path.empty()) return path;
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  if (error) return path;
  return absolute.lexically_normal().string();
}

}  // namespace qv82
