// A configuration file that is not a whole document is refused before any
// of it reaches the tree, the pages or the device; the forms stored files
// may rely on still open.
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
    seen.push_back(std::to_string(static_cast<int>(tree.state(node))) + tree.caption(node) + "=" +
                   tree.text(node));
  }
  const WorkingImages& images = bench.images();
  seen.insert(seen.end(), images.io_text.begin(), images.io_text.end());
  seen.push_back(images.param_image + images.stat_options_image + images.stat_counters_image +
                 std::to_string(images.loaded_sections));
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

std::string replaced_all(std::string text, const std::string& what, const std::string& with) {
  for (std::size_t at = text.find(what); at != std::string::npos;
       at = text.find(what, at + with.size())) {
    text.replace(at, what.size(), with);
  }
  return text;
}

// A device's whole configuration, as File Save writes it.
std::string saved_configuration(const TempDir& dir) {
  ConfigBench bench;
  load_known_configuration(bench.device());
  EXPECT_TRUE(bench.app.upload());
  bench.ui.save_files.push_back(dir.file("saved.xml"));
  EXPECT_TRUE(bench.app.save_file());
  return dir.read("saved.xml");
}

TEST(WholeDocument, DamagedFilesChangeNothingTolerantFormsOpen) {
  TempDir dir;
  const std::string good = saved_configuration(dir);
  ASSERT_NE(good.find("</MachineData>"), std::string::npos);
  const std::size_t first_group_end = good.find("</Group>");
  const std::size_t quote = good.find("address=\"0x0590\"");
  // Inside an item's data, as a copy broken off would leave it.
  const std::size_t cut = good.find("</Data>", good.size() / 2) - 1;

  const struct {
    const char* name;
    std::string text;
    // Refused: the reason and the line; tolerated: empty.
    std::string reason;
    std::size_t line;
  } cases[] = {
      {"cut in the middle", good.substr(0, cut), "the file ends before it closes <Data> of line ",
       line_at(good, cut)},
      {"mismatched closing tag", replaced(good, "</Group>", "</Data>"),
       "</Data> does not close <Group>", line_at(good, first_group_end)},
      {"attribute quote never closed", replaced(good, "address=\"0x0590\"", "address=\"0x0590"),
       "quote is never closed", line_at(good, quote)},
      {"as saved, CR LF", good, "", 0},
      {"no declaration", good.substr(good.find('\n') + 1), "", 0},
      {"upper-case tags",
       replaced_all(replaced_all(replaced_all(good, "Data", "DATA"), "Group", "GROUP"),
                    "MachineDATA", "MACHINEDATA"),
       "", 0},
      {"unknown elements",
       replaced(good, "<MachineData>", "<MachineData>\r\n<Note kind=\"a\">x</Note><Extra/>"), "",
       0},
  };

  ConfigBench reference;
  reference.ui.open_files.push_back(dir.file("saved.xml"));
  ASSERT_TRUE(reference.app.open_file());
  const std::vector<std::string> opened = snapshot(reference);

  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    dir.write("case.xml", c.text);
    ConfigBench bench;
    const auto stored = bench.device().memory().nv();
    const std::vector<std::string> before = snapshot(bench);
    bench.ui.open_files.push_back(dir.file("case.xml"));
    const bool open = bench.app.open_file();
    if (c.reason.empty()) {
      EXPECT_TRUE(open);
      EXPECT_EQ(bench.ui.errors(), std::vector<std::string>{});
      EXPECT_EQ(snapshot(bench), opened);
      continue;
    }
    EXPECT_FALSE(open);
    ASSERT_EQ(bench.ui.errors().size(), 1u);
    const std::string message = bench.ui.errors()[0];
    const std::string expected = "Not a whole configuration file, nothing of it was used: " +
                                 full_path(dir.file("case.xml")) + ", line " +
                                 std::to_string(c.line) + ": ";
    EXPECT_EQ(message.rfind(expected, 0), 0u) << message;
    EXPECT_NE(message.find(c.reason), std::string::npos) << message;
    EXPECT_EQ(snapshot(bench), before);
    // A Download afterwards has nothing of the file to write.
    EXPECT_FALSE(bench.app.download());
    EXPECT_EQ(bench.device().memory().nv(), stored);
  }
}

}  // namespace
}  // namespace qv82::test
