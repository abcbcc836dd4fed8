#include "platform/system.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

namespace qv82::platform {

bool sync_file(std::FILE* file) { return ::fsync(::fileno(file)) == 0; }

void sync_folder(const std::filesystem::path& folder) {
  const std::string name = folder.empty() ? std::string(".") : folder.string();
  const int fd = ::open(name.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

std::FILE* create_new_file(const std::filesystem::path& path) {
  return std::fopen(path.c_str(), "wbx");
}

bool input_is_terminal() { return ::isatty(STDIN_FILENO) == 1; }
bool output_is_terminal() { return ::isatty(STDOUT_FILENO) == 1; }
void use_exact_line_ends() {}

struct HiddenTyping::Saved {
  termios settings{};
};

HiddenTyping::HiddenTyping() {
  auto saved = std::make_unique<Saved>();
  if (::tcgetattr(STDIN_FILENO, &saved->settings) != 0) return;
  termios quiet = saved->settings;
  quiet.c_lflag &= static_cast<tcflag_t>(~ECHO);
  if (::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0) saved_ = std::move(saved);
}

HiddenTyping::~HiddenTyping() {
  if (saved_) ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_->settings);
}

std::tm local_time(std::time_t moment) {
  std::tm local{};
  ::localtime_r(&moment, &local);
  return local;
}

std::string executable_folder(const char* argv0) {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) return self.parent_path().string();
  if (argv0 == nullptr) return {};
  return std::filesystem::absolute(argv0, error).parent_path().string();
}

}  // namespace qv82::platform
