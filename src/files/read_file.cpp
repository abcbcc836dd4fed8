#include "files/read_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace qv82 {

namespace fs = std::filesystem;

namespace {

FileContent failed(ReadFailure failure, std::string reason) {
  FileContent result;
  result.failure = failure;
  result.reason = std::move(reason);
  return result;
}

std::string too_large(std::size_t limit) {
  return "it is larger than " + std::to_string(limit / kMiB) + " MiB";
}

}  // namespace

FileContent read_whole_file(const std::string& path, std::size_t limit) {
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (status.type() == fs::file_type::not_found) {
    return failed(ReadFailure::kMissing, std::generic_category().message(ENOENT));
  }
  if (ec) return failed(ReadFailure::kCannotOpen, ec.message());
  if (fs::is_directory(status)) return failed(ReadFailure::kCannotRead, "it is a folder");
  if (!fs::is_regular_file(status)) {
    return failed(ReadFailure::kCannotRead, "it is not a regular file");
  }
  const std::uintmax_t size = fs::file_size(path, ec);
  if (!ec && size > limit) return failed(ReadFailure::kCannotRead, too_large(limit));

  std::ifstream file(path, std::ios::binary);
  if (!file.is_open()) return failed(ReadFailure::kCannotOpen, std::strerror(errno));
  FileContent result;
  if (!ec) result.content.reserve(static_cast<std::size_t>(size));
  // Read in pieces rather than by the size seen above: the file may grow.
  char piece[64 * 1024];
  while (file) {
    file.read(piece, sizeof piece);
    result.content.append(piece, static_cast<std::size_t>(file.gcount()));
    if (result.content.size() > limit) return failed(ReadFailure::kCannotRead, too_large(limit));
  }
  if (file.bad()) return failed(ReadFailure::kCannotRead, std::strerror(errno));
  return result;
}

std::string file_problem(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (status.type() == fs::file_type::not_found) return path + " is missing";
  if (error) return path + " cannot be read: " + error.message();
  if (fs::is_directory(status)) return path + " is a folder, not a file";
  if (!fs::is_regular_file(status)) return path + " is not a regular file";
  errno = 0;
  if (!std::ifstream(path, std::ios::binary).is_open()) {
    const int code = errno;
    return path + " cannot be read: " +
           (code != 0 ? std::generic_category().message(code) : std::string("open failed"));
  }
  return {};
}

}  // namespace qv82
