#pragma once

#include <cstddef>
#include <string>

namespace qv82 {

// Upper sizes of the files the program reads, by kind. Each is far above
// what a real file of its kind holds and far below what would hurt.
inline constexpr std::size_t kMiB = 1024 * 1024;
inline constexpr std::size_t kConfigurationFileLimit = 4 * kMiB;  // configuration files, template
inline constexpr std::size_t kFirmwareImageLimit = 4 * kMiB;
inline constexpr std::size_t kSettingsFileLimit = 4 * kMiB;  // qv82hs.ini, io.ini, Production.ini

enum class ReadFailure {
  kNone,
  kMissing,     // no such file
  kCannotOpen,  // it exists but cannot be opened
  kCannotRead,  // not a regular file, larger than the limit, or a read error
};

struct FileContent {
  std::string content;
  ReadFailure failure = ReadFailure::kNone;
  // Why it failed, in words that follow the file's name:
  // "it is not a regular file", "it is larger than 4 MiB", the system's reason.
  std::string reason;

  bool ok() const { return failure == ReadFailure::kNone; }
};

// The whole of a regular file of at most `limit` bytes. Folders, devices
// and pipes are refused before they are opened (so a pipe cannot block and
// a device cannot be read without end), and so is a file larger than the
// limit; one that grows past it while being read is refused too.
FileContent read_whole_file(const std::string& path, std::size_t limit);

// Why a data file cannot be read, naming it ("PATH is missing", "PATH is a
// folder, not a file"); empty when it is a readable file.
std::string file_problem(const std::string& path);

}  // namespace qv82
