#pragma once

#include <cstdio>
#include <filesystem>
#include <string_view>

namespace qv82 {

// Writes the bytes and makes them reach the disk, so they survive a power
// loss, then closes the file, however that goes. 0 when all of it
// succeeded, else the system's error number.
int write_synced_and_close(std::FILE* file, std::string_view bytes);

// The folder's entries (a new or renamed file) reach the disk. A folder that
// cannot be opened or flushed (some file systems refuse) is left as it is.
void sync_folder(const std::filesystem::path& folder);

}  // namespace qv82
