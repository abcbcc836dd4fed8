#pragma once

#include <cstdio>
#include <filesystem>

namespace qv82 {

// The bytes written to the file reach the disk, so they survive a power
// loss. False when the system refuses.
bool sync_file(std::FILE* file);

// The folder's entries (a new or renamed file) reach the disk. A folder that
// cannot be opened or flushed (some file systems refuse) is left as it is.
void sync_folder(const std::filesystem::path& folder);

}  // namespace qv82
