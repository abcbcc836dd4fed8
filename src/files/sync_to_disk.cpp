#include "files/sync_to_disk.h"

// The standard library cannot force data to the disk; the system's own call
// is the only way.
#if __has_include(<unistd.h>)
#include <fcntl.h>
#include <unistd.h>
#define QV82_HAVE_FSYNC 1
#endif

namespace qv82 {

bool sync_file(std::FILE* file) {
#ifdef QV82_HAVE_FSYNC
  return ::fsync(::fileno(file)) == 0;
#else
  (void)file;
  return true;
#endif
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
