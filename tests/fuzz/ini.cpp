// The INI reader: any file text, every section and key read, and each key
// read back by name gives the value the section listed.
#include <cstddef>
#include <cstdint>
#include <string>

#include "files/ini_file.h"
#include "fuzz_bench.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace qv82;
  const test::TempDir& dir = fuzz::workdir();
  dir.write("fuzz.ini", std::string(fuzz::as_text(data, size)));
  IniFile file(dir.file("fuzz.ini"));

  const auto sections = file.section_names();
  for (const std::string& section : sections) {
    QV82_FUZZ_CHECK(file.section_exists(section));
    for (const auto& [key, value] : file.section_entries(section)) {
      QV82_FUZZ_CHECK(file.read_string(section, key, "\x01") == value);
    }
  }
  return 0;
}
