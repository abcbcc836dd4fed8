#include "temp_dir.h"

#include <filesystem>
#include <fstream>
#include <mutex>
#include <random>
#include <sstream>
#include <stdexcept>

namespace qv82::test {

// A random name under the temporary directory, taken only if creating it
// succeeds (as mkdtemp does, on every system).
TempDir::TempDir() {
  static std::mutex naming;
  const std::lock_guard<std::mutex> lock(naming);
  static std::mt19937_64 names{std::random_device{}()};
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
    std::ostringstream name;
    name << "qv82-test-" << std::hex << names();
    std::error_code error;
    if (std::filesystem::create_directory(base / name.str(), error) && !error) {
      path_ = (base / name.str()).string();
    }
  }
  if (path_.empty())
    throw std::runtime_error("no fresh folder could be made under " + base.string());
}

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
