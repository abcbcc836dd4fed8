#include "platform/system.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>
#include <cstring>

namespace qv82::platform {

namespace {

HANDLE handle_of(std::FILE* file) {
  return reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(file)));
}

}  // namespace

bool sync_file(std::FILE* file) {
  if (::FlushFileBuffers(handle_of(file))) return true;
  errno = EIO;
  return false;
}

// Windows keeps a folder's entries on the disk with the file itself.
void sync_folder(const std::filesystem::path&) {}

std::FILE* create_new_file(const std::filesystem::path& path) {
  const int fd = ::_wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY,
                          _S_IREAD | _S_IWRITE);
  if (fd < 0) return nullptr;
  std::FILE* file = ::_fdopen(fd, "wb");
  if (file == nullptr) ::_close(fd);
  return file;
}

bool input_is_terminal() { return ::_isatty(::_fileno(stdin)) != 0; }
bool output_is_terminal() { return ::_isatty(::_fileno(stdout)) != 0; }

void use_exact_line_ends() {
  ::_setmode(::_fileno(stdout), _O_BINARY);
  ::_setmode(::_fileno(stderr), _O_BINARY);
}

struct HiddenTyping::Saved {
  HANDLE input = nullptr;
  DWORD mode = 0;
};

HiddenTyping::HiddenTyping() {
  auto saved = std::make_unique<Saved>();
  saved->input = ::GetStdHandle(STD_INPUT_HANDLE);
  if (!::GetConsoleMode(saved->input, &saved->mode)) return;
  if (::SetConsoleMode(saved->input, saved->mode & ~static_cast<DWORD>(ENABLE_ECHO_INPUT))) {
    saved_ = std::move(saved);
  }
}

HiddenTyping::~HiddenTyping() {
  if (saved_) ::SetConsoleMode(saved_->input, saved_->mode);
}

std::tm local_time(std::time_t moment) {
  std::tm local{};
  ::localtime_s(&local, &moment);
  return local;
}

std::string executable_folder(const char*) {
  wchar_t name[MAX_PATH * 4];
  const DWORD length = ::GetModuleFileNameW(nullptr, name, MAX_PATH * 4);
  if (length == 0 || length >= MAX_PATH * 4) return {};
  return std::filesystem::path(std::wstring(name, length)).parent_path().string();
}

}  // namespace qv82::platform
