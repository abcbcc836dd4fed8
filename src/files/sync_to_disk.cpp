#include "files/sync_to_disk.h"

#include <cerrno>

// The standard library cannot force data to the disk; the system's own call
// is the only way.
#if __has_include(<unistd.h>)
#include <fcntl.h>
#include <unistd.h>
#define QV82_HAVE_FSYNC 1
#endif

namespace qv82 {

namespace {

bool sync_file(std::FILE* file) {
#ifdef QV82_HAVE_FSYNC
  return ::fsync(::fileno(file)) == 0;
#else
  (void)file;
  return true;
#endif
}

}  // namespace

int write_synced_and_close(std::FILE* file, std::string_view bytes) {
  errno = 0;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() &&
            std::fflush(file) == 0 && sync_file(file);
  int error = errno;
  if (std::fclose(file) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (ok) return 0;
  return error != 0 ? error : EIO;
}

void sync_folder(const std::filesystem::path& folder) {
#ifdef QV82_HAVE_FSYNC
  const std::string name = folder.empty() ? std::string(".") : folder.string();
  const int fd = ::open(name.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
#else
  (void)folder;
#endif
}

}  // namespace qv82
