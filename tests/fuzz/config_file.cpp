// A configuration file opened as "File Open" does: format test, merge with
// the template, the tree, and the items applied to the pages; then saved
// again from the pages.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/application.h"
#include "fuzz_bench.h"
#include "link/errors.h"
#include "sim/simulated_setup.h"
#include "support/fake_ui.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace qv82;
  const test::TempDir& dir = fuzz::workdir();
  dir.write("chosen.xml", std::string(fuzz::as_text(data, size)));

  // One application for the whole run, as one window lives through many
  // opens: its start-up costs far more than an open.
  static sim::SimulatedSetup setup;
  static test::FakeUi ui;
  static Application& app = [&]() -> Application& {
    static Application made(setup.line(), setup.clock(), ui, dir.path());
    made.configuration.prepare(dir.path());
    return made;
  }();
  ui.clear();
  bool opened = false;
  try {
    opened = app.configuration.files.open(dir.file("chosen.xml"));
  } catch (const ConversionError&) {
    return 0;  // a damaged item, refused by name
  }
  if (!opened) {
    QV82_FUZZ_CHECK(!ui.errors().empty());
    return 0;
  }
  ui.save_files.push_back(dir.file("saved.xml"));
  (void)app.configuration.files.save();
  return 0;
}
