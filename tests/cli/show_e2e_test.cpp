// qv82hs-cli show on configuration files as the user has them: damaged
// files are refused as File Open refuses them, partial ones say what they
// lack; and a --simulate run leaves the remembered port alone.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "support/processes.h"

namespace qv82::test {
namespace {

namespace fs = std::filesystem;

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// A working directory with the installation's data files.
struct ShowBench {
  ShowBench() : dir(make_temp_dir()) {
    for (const char* name : {"qv82hs.ini", "io.ini", "template.xml"}) {
      fs::copy_file(std::string(QV82_SOURCE_DIR "/data/") + name, dir + "/" + name);
    }
  }

  // The template holding only the given items (address -> data), `tail`
  // after every "</Data>".
  std::string file(const std::map<std::string, std::string>& items, const std::string& tail = "") {
    std::istringstream lines(read_file(dir + "/template.xml"));
    std::string out;
    std::string line;
    while (std::getline(lines, line)) {
      const std::size_t data_end = line.find("</Data>");
      if (data_end != std::string::npos) {
        const auto item = items.find(line.substr(line.find("address=\"") + 9, 6));
        if (item == items.end()) continue;
        line = line.substr(0, data_end) + item->second + "</Data>" + tail;
      }
      out += line + "\n";
    }
    const std::string path = dir + "/file.xml";
    std::ofstream(path, std::ios::binary) << out;
    return path;
  }

  RunResult show(const std::string& path) {
    return run_program(cli_binary(), {"--workdir", dir, "show", path});
  }

  std::string dir;
};

const std::string kChannel(64, '0');

TEST(ShowCommand, RefusesDamagedItemsNamingThemAsFileOpenDoes) {
  struct Case {
    const char* address;
    std::string data;
    std::string tail;
    std::string message;
  };
  const Case cases[] = {
      {"0x0590", std::string(65, 'A'), "",
       "Damaged item \"Channel 2\" (0x0590): expected 64 hex digits, found 65 hex digits"},
      {"0x0778", "000003", "", "(0x0778): expected 16 hex digits, found 6"},
      {"0x07F0", "123", "", "(0x07F0): expected 2 hex digits, found 3"},
      {"0x0833", "12345", "", "(0x0833): expected 6 hex digits, found 5"},
      {"0x0570", kChannel, "junk", ": text after </Data>"},
  };
  for (const Case& c : cases) {
    ShowBench bench;
    const std::string path = bench.file({{"0x0570", kChannel}, {c.address, c.data}}, c.tail);
    const RunResult result = bench.show(path);
    EXPECT_NE(result.status, 0) << c.message;
    EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
  }
}

// A file broken off in the middle of an item is refused whole, by show and
// by download alike, before the device is asked anything.
TEST(ShowCommand, AFileCutShortIsRefusedByShowAndDownload) {
  ShowBench bench;
  const std::string path = bench.file({{"0x0570", kChannel}, {"0x0590", kChannel}});
  const std::string text = read_file(path);
  const std::size_t cut = text.find("</Data>", text.find("0x0590"));
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text.substr(0, cut - 10);
  const std::string refusal = "Not a whole configuration file, nothing of it was used: " + path +
                              ", line 6: the file ends before it closes <Data> of line 6";
  const RunResult show = bench.show(path);
  EXPECT_EQ(show.status, 1);
  EXPECT_NE(show.err.find(refusal), std::string::npos) << show.err;
  EXPECT_EQ(show.out, "");
  const RunResult download = run_program(
      cli_binary(),
      {"--simulate", "--workdir", bench.dir, "--log", bench.dir + "/log.txt", "download", path});
  EXPECT_EQ(download.status, 1);
  EXPECT_NE(download.err.find(refusal), std::string::npos) << download.err;
  EXPECT_EQ(read_file(bench.dir + "/log.txt"), "") << "the device was asked";
}

TEST(ShowCommand, SaysWhichSectionsAndItemsTheFileHolds) {
  ShowBench bench;
  std::map<std::string, std::string> items = {{"0x0570", kChannel}, {"0x0590", kChannel}};
  const RunResult result = bench.show(bench.file(items));
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.out.find("File holds Channels: 2 of 16 items; lacks Channel 3, Channel 4"),
            std::string::npos)
      << result.out;
  EXPECT_NE(result.out.find("File holds I/O configuration and common parameters: none"),
            std::string::npos)
      << result.out;
  EXPECT_NE(result.out.find("File holds Statistics: none"), std::string::npos) << result.out;
}

// A sorter on output 5 is a sorter with either active level, in the
// recognition of the standard configuration as in the separator rules.
TEST(ShowCommand, SorterOutputWithEitherLevelKeepsTheStandardConfiguration) {
  for (const char* sorter : {"0103050000000A00", "0183050000000A00"}) {
    ShowBench bench;
    const std::string path = bench.file({{"0x0770", "000003000000140A"},
                                         {"0x0778", "00000C000000140A"},
                                         {"0x0780", "0000F0FF0000140A"},
                                         {"0x0788", "FFFFFFFFFFFFFFFF"},
                                         {"0x0790", sorter},
                                         {"0x0798", "070601FF00000000"},
                                         {"0x07A0", "80000000000000FF"},
                                         {"0x07A8", "FFFFFFFFFFFFFFFF"}});
    const RunResult result = bench.show(path);
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("Version selection: Vending standard"), std::string::npos)
        << sorter << "\n"
        << result.out;
  }
}

TEST(SimulateRun, DoesNotRememberTheSimulatedPort) {
  ShowBench bench;
  const std::string settings = bench.dir + "/qv82hs.ini";
  const std::string before = read_file(settings);
  ASSERT_NE(before.find("ComPort="), std::string::npos);
  const RunResult result =
      run_program(cli_binary(), {"--simulate", "--workdir", bench.dir, "identify"});
  ASSERT_EQ(result.status, 0) << result.err;
  const std::string after = read_file(settings);
  const std::size_t at = after.find("ComPort=");
  EXPECT_EQ(after.substr(at, after.find('\n', at) - at),
            before.substr(before.find("ComPort="),
                          before.find('\n', before.find("ComPort=")) - before.find("ComPort=")));
}

}  // namespace
}  // namespace qv82::test
