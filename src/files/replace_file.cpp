#include "files/replace_file.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <random>
#include <sstream>
#include <system_error>

#include "files/sync_to_disk.h"
#include "platform/system.h"

namespace qv82 {

namespace fs = std::filesystem;

namespace {

std::string describe(int error_number) { return std::generic_category().message(error_number); }

}  // namespace

std::optional<std::string> replace_file(const std::string& path, const std::string& content) {
  std::error_code ec;
  fs::path target(path);
  if (target.filename().empty()) return std::string("no file name");
  if (fs::is_symlink(target, ec)) {
    const fs::path resolved = fs::weakly_canonical(target, ec);
    if (!ec) target = resolved;
  }

  std::random_device entropy;
  fs::path temporary;
  std::FILE* file = nullptr;
  int open_error = 0;
  for (int attempt = 0; attempt < 8 && file == nullptr; ++attempt) {
    std::ostringstream name;
    name << '.' << target.filename().string() << '.' << std::hex << entropy() << ".tmp";
    temporary = target.parent_path() / name.str();
    errno = 0;
    file = platform::create_new_file(temporary);  // fails if the name exists
    open_error = errno;
    if (file == nullptr && open_error != EEXIST) break;
  }
  if (file == nullptr) return describe(open_error != 0 ? open_error : EIO);

  const int write_error = write_synced_and_close(file, content);
  std::optional<std::string> failure;
  if (write_error == 0) {
    // The new file takes the place of the old one, including who may read it.
    const fs::file_status old_status = fs::status(target, ec);
    if (!ec && fs::exists(old_status)) fs::permissions(temporary, old_status.permissions(), ec);
    fs::rename(temporary, target, ec);
    if (ec) {
      failure = ec.message();
    } else {
      sync_folder(target.parent_path());
    }
  } else {
    failure = describe(write_error);
  }
  if (failure) fs::remove(temporary, ec);
  return failure;
}

}  // namespace qv82
