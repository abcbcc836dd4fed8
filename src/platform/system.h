#pragma once

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>

// The few things the standard library cannot do portably, each done the
// system's own way: one file for POSIX systems, one for Windows.
namespace qv82::platform {

// Forces what was written to the file onto the disk (it is flushed first by
// the caller). False with errno set when the system refused.
bool sync_file(std::FILE* file);
// The folder's entries (a new or renamed file) reach the disk; a folder that
// cannot be opened or flushed is left as it is.
void sync_folder(const std::filesystem::path& folder);
// Creates the file for binary writing; nullptr with errno set (EEXIST when
// the name is taken) otherwise. Never opens an existing file.
std::FILE* create_new_file(const std::filesystem::path& path);

// Whether standard input or output is a terminal (a person rather than a
// pipe or a file).
bool input_is_terminal();
bool output_is_terminal();
// Standard output and error carry exactly the bytes written, with "\n" as
// the line end on every system, so scripts read the same text everywhere.
void use_exact_line_ends();

// While one lives, what the person types at the terminal is not echoed (a
// password). Does nothing when standard input is no terminal.
class HiddenTyping {
 public:
  HiddenTyping();
  ~HiddenTyping();
  HiddenTyping(const HiddenTyping&) = delete;
  HiddenTyping& operator=(const HiddenTyping&) = delete;

 private:
  struct Saved;
  std::unique_ptr<Saved> saved_;
};

// The local time of the moment.
std::tm local_time(std::time_t moment);

// The folder of the running program, "" when the system does not say.
std::string executable_folder(const char* argv0);

}  // namespace qv82::platform
