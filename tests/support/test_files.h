#pragma once

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>

namespace qv82::test {

// Copies the installation's files from data/ into a test's working folder, which the test may
// then edit; the tracked files stay untouched.
inline void copy_data_files(const std::string& dir,
                            std::initializer_list<const char*> names = {"qv82hs.ini", "io.ini",
                                                                        "template.xml"}) {
  for (const char* name : names) {
    std::filesystem::copy_file(std::string(QV82_SOURCE_DIR "/data/") + name,
                               std::filesystem::path(dir) / name,
                               std::filesystem::copy_options::overwrite_existing);
  }
}

// The whole file as it is on disk, "" when it is missing.
inline std::string file_text(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace qv82::test
