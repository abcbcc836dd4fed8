#include "temp_dir.h"

#include <filesystem>
#include <fstream>
#include <mutex>
#include <random>
#include <sstream>
#include <stdexcept>
#include <vector>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace qv82::test {

namespace {

int process_id() {
#ifdef _WIN32
  return 0;  // no fork on Windows
#else
  return static_cast<int>(::getpid());
#endif
}

// A folder under the temporary directory that did not exist before: a random
// name, taken only if creating it succeeds (as mkdtemp does, on every system).
std::string fresh_folder(const std::string& prefix) {
  static std::mutex naming;
  const std::lock_guard<std::mutex> lock(naming);
  static std::mt19937_64 names{std::random_device{}()};
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::ostringstream name;
    name << prefix << std::hex << names();
    const std::filesystem::path folder = base / name.str();
    std::error_code error;
    if (std::filesystem::create_directory(folder, error) && !error) return folder.string();
  }
  throw std::runtime_error("no fresh folder could be made under " + base.string());
}

// The folders make_temp_dir made, removed when the process ends. A forked
// child that leaves through exit() must not remove its parent's folders.
class MadeFolders {
 public:
  ~MadeFolders() {
    if (process_id() != owner_) return;
    std::error_code ignored;
    for (const std::string& folder : folders_) std::filesystem::remove_all(folder, ignored);
  }
  void add(const std::string& folder) {
    const std::lock_guard<std::mutex> lock(mutex_);
    folders_.push_back(folder);
  }

 private:
  int owner_ = process_id();
  std::mutex mutex_;
  std::vector<std::string> folders_;
};

MadeFolders& made_folders() {
  static MadeFolders folders;
  return folders;
}

}  // namespace

std::string make_temp_dir() {
  const std::string folder = fresh_folder("qv82test.");
  made_folders().add(folder);
  return folder;
}

TempDir::TempDir() : path_(fresh_folder("qv82-test-")) {}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::file(const std::string& name) const {
  return (std::filesystem::path(path_) / name).make_preferred().string();
}

void TempDir::write(const std::string& name, const std::string& text) const {
  std::ofstream(file(name), std::ios::binary) << text;
}

std::string TempDir::read(const std::string& name) const {
  std::ifstream in(file(name), std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace qv82::test
