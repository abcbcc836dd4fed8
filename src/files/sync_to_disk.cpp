#include "files/sync_to_disk.h"

#include <cerrno>

#include "platform/system.h"

namespace qv82 {

int write_synced_and_close(std::FILE* file, std::string_view bytes) {
  errno = 0;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() &&
            std::fflush(file) == 0 && platform::sync_file(file);
  int error = errno;
  if (std::fclose(file) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (ok) return 0;
  return error != 0 ? error : EIO;
}

void sync_folder(const std::filesystem::path& folder) { platform::sync_folder(folder); }

}  // namespace qv82
