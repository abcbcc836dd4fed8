// A configuration file that is not a whole document is refused before any
// of it reaches the tree, the pages or the device.
#include <gtest/gtest.h>

#include <algorithm>

#include "config/transfer_bench.h"
#include "files/full_path.h"
#include "rules/configuration_summary.h"

namespace qv82::test {
namespace {

// What File Open could change: the tree, the images behind the pages, the
// configuration page as shown.
std::vector<std::string> snapshot(ConfigBench& bench) {
  std::vector<std::string> seen;
  const ParameterTree& tree = bench.tree();
  for (std::size_t node = 0; node < tree.node_count(); ++node) {
    seen.push_back(std::to_string(static_cast<int>(tree.state(node))) + tree.text(node));
  }
  const WorkingImages& images = bench.images();
  seen.insert(seen.end(), images.io_text.begin(), images.io_text.end());
  seen.push_back(images.param_image + images.stat_options_image + images.stat_counters_image);
  for (const Bytes& record : bench.app.device.channel_buffer) seen.push_back(bytes_to_hex(record));
  for (const std::string& line : configuration_summary(bench.app.configuration.config_page)) {
    seen.push_back(line);
  }
  return seen;
}

std::size_t line_at(const std::string& text, std::size_t offset) {
  return 1 + static_cast<std::size_t>(std::count(text.begin(), text.begin() + offset, '\n'));
}

std::string replaced(std::string text, const std::string& what, const std::string& with) {
  const std::size_t at = text.find(what);
  EXPECT_NE(at, std::string::npos) << what;
  if (at != std::string::npos) text.replace(at, what.size(), with);
  return text;
}

TEST(WholeDocument, DamagedFilesChangeNothing) {
  TempDir dir;
  std::string good;
  {
    ConfigBench bench;
    load_known_configuration(bench.device());
    ASSERT_TRUE(bench.app.upload());
    bench.ui.save_files.push_back(dir.file("saved.xml"));
    ASSERT_TRUE(bench.app.save_file());
    good = dir.read("saved.xml");
  }
  // Inside an item's data, as a copy broken off would leave it.
  const std::size_t cut = good.find("</Data>", good.size() / 2) - 1;

  const struct {
    std::string text;
    std::string reason;
    std::size_t line;
  } cases[] = {
      {good.substr(0, cut), "the file ends before it closes <Data> of line ", line_at(good, cut)},
      {replaced(good, "</Group>", "</Data>"), "</Data> does not close <Group>",
       line_at(good, good.find("</Group>"))},
      {replaced(good, "address=\"0x0590\"", "address=\"0x0590"),
       "an attribute value's quote is never closed", line_at(good, good.find("address=\"0x0590\""))},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    dir.write("case.xml", c.text);
    ConfigBench bench;
    const auto stored = bench.device().memory().nv();
    const std::vector<std::string> before = snapshot(bench);
    bench.ui.open_files.push_back(dir.file("case.xml"));
    EXPECT_FALSE(bench.app.open_file());
    ASSERT_EQ(bench.ui.errors().size(), 1u);
    const std::string message = bench.ui.errors()[0];
    const std::string expected = "Not a whole configuration file, nothing of it was used: " +
                                 full_path(dir.file("case.xml")) + ", line " +
                                 std::to_string(c.line) + ": " + c.reason;
    EXPECT_EQ(message.rfind(expected, 0), 0u) << message;
    EXPECT_EQ(snapshot(bench), before);
    // A Download afterwards has nothing of the file to write.
    EXPECT_FALSE(bench.app.download());
    EXPECT_EQ(bench.device().memory().nv(), stored);
  }
}

}  // namespace
}  // namespace qv82::test
