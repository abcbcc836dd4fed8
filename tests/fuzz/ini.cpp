// The INI reader and its in-place writer: any file text, every section and
// key read, then one key written and read back.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/ini_file.h"
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
  const std::string section = sections.empty() ? "SETTINGS" : sections.back();
  if (file.write_string(section, "ComPort", "COM7")) {
    QV82_FUZZ_CHECK(file.read_string(section, "ComPort", "") == "COM7");
    // Everything else reads as before.
    QV82_FUZZ_CHECK(file.section_names().size() >= sections.size());
  } else {
    QV82_FUZZ_CHECK(!file.last_error().empty());
  }
  return 0;
}
