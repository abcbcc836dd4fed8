#pragma once

// What the fuzz targets share: a working directory of their own with the
// installation's data files, made once per process and removed at exit.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "support/temp_dir.h"

namespace qv82::fuzz {

inline const test::TempDir& workdir() {
  static const test::TempDir dir;
  [[maybe_unused]] static const bool copied = [] {
    for (const char* name : {"qv82hs.ini", "io.ini", "template.xml"})
      std::filesystem::copy_file(std::string(QV82_SOURCE_DIR "/data/") + name, dir.file(name),
                                 std::filesystem::copy_options::overwrite_existing);
    return true;
  }();
  return dir;
}

inline std::string_view as_text(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// The finding libFuzzer reports: a broken property, not just a crash.
#define QV82_FUZZ_CHECK(condition) \
  do {                             \
    if (!(condition)) __builtin_trap(); \
  } while (false)

}  // namespace qv82::fuzz
