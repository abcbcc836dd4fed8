// qv82hs-cli when its port goes away or never opens: qv82hs-sim ends in the
// middle of an operation (--vanish-after, an adapter pulled out), or the
// port named does not exist. One message naming the port, then exit 1.
#include <gtest/gtest.h>

#include <algorithm>

#include <filesystem>
#include <fstream>

#include "firmware/srecord_writer.h"
#include "support/processes.h"

namespace qv82::test {
namespace {

std::size_t count_of(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

class VanishedPort : public ::testing::Test {
 protected:
  VanishedPort() : dir(make_temp_dir()), link(dir + "/qv82") {
    for (const char* name : {"qv82hs.ini", "io.ini", "template.xml"}) {
      std::filesystem::copy_file(QV82_SOURCE_DIR "/data/" + std::string(name), dir + "/" + name);
    }
    Bytes code(2048);
    for (std::size_t i = 0; i < code.size(); ++i) code[i] = static_cast<std::uint8_t>(i * 7);
    std::ofstream(dir + "/image.u19")
        << write_srecord_image({"QV82HS-BL", "QV82HS-2.70", 0x8000, code, 32});
  }
  ~VanishedPort() override {
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
  }

  RunResult cli(std::vector<std::string> args, const std::string& port) {
    std::vector<std::string> all = {"--port", port, "--workdir", dir};
    all.insert(all.end(), args.begin(), args.end());
    return run_program(cli_binary(), all);
  }

  std::string dir;
  std::string link;
};

TEST_F(VanishedPort, MidOperationEndsAtOnceWithOneMessage) {
  {
    // A configuration file for the download, from a healthy device.
    SimOnPty sim({"--link", link});
    ASSERT_EQ(cli({"upload", "-o", dir + "/saved.xml"}, link).status, 0);
  }
  struct Case {
    const char* name;
    std::vector<std::string> args;
    // Bytes the host sends before the device goes: past the search, inside
    // the operation.
    const char* vanish_after;
    std::vector<std::string> sim_extra;
    // Lines after the port's own: what became of the operation.
    std::vector<std::string> after_port;
  };
  const Case cases[] = {
      {"upload", {"upload", "-o", "out.xml"}, "300", {}, {}},
      {"download",
       {"download", "saved.xml"},
       "1200",  // past the backup's reads, inside the writes
       {},
       {"The download did not complete: 8 of 83 items reached the coin selector's working memory "
        "and none was stored.\n",
        "Switch the coin selector off and on: it then runs its stored configuration, as before "
        "the download.\n"}},
      {"firmware",
       {"firmware", "image.u19"},
       "1500",
       {"--monitor-rates", "38400"},
       {"The firmware upgrade did not complete.\n",
        "The coin selector stays in its monitor program; Search will offer the upgrade "
        "again.\n"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> sim_args = {"--link", link, "--vanish-after", c.vanish_after};
    sim_args.insert(sim_args.end(), c.sim_extra.begin(), c.sim_extra.end());
    SimOnPty sim(sim_args);
    std::vector<std::string> args = c.args;
    if (args.size() > 1) args.back() = dir + "/" + args.back();
    const RunResult result = cli(args, link);

    EXPECT_EQ(result.status, 1);
    // After the search's find (if the command searches), one line: no
    // time-outs of the abandoned operation, no attempt to reopen the port.
    const std::size_t found = result.err.find(" found at  " + link + "\n");
    const std::string after = found == std::string::npos
                                  ? result.err
                                  : result.err.substr(result.err.find('\n', found) + 1);
    // A download says where its backup went before the port goes.
    const std::size_t port_line = std::min(after.find(link + " was disconnected"), after.size());
    EXPECT_EQ(count_of(after.substr(port_line), "\n"), 1u + c.after_port.size()) << result.err;
    std::string said = link + " was disconnected\n";
    for (const std::string& line : c.after_port) said += line;
    EXPECT_NE(after.find(said), std::string::npos) << result.err;
    EXPECT_EQ(result.out.find("Operation finished"), std::string::npos) << result.out;
    EXPECT_FALSE(std::filesystem::exists(dir + "/out.xml"));
  }
}

TEST_F(VanishedPort, APortThatWillNotOpenIsSaidOnceAndEndsTheCommand) {
  const std::string missing = dir + "/none";
  const std::string refused = "Unable to open com port " + missing + ": No such file or directory";
  struct Case {
    std::vector<std::string> args;
    int status;
    std::vector<std::string> also;  // further lines expected
  };
  const Case cases[] = {
      {{"firmware", dir + "/image.u19"}, 1, {}},
      {{"--address", "3", "identify"}, 1, {}},
      // The search goes on to the system's ports; nothing answers there.
      {{"search"}, 1, {"Coin selector not found!"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.front());
    const RunResult result = cli(c.args, missing);
    EXPECT_EQ(result.status, c.status);
    EXPECT_EQ(count_of(result.err, refused), 1u) << result.err;
    EXPECT_EQ(result.err.find("Monitor program error!"), std::string::npos) << result.err;
    EXPECT_EQ(result.err.find("Coin selector not found!3"), std::string::npos) << result.err;
    for (const std::string& line : c.also) {
      EXPECT_NE(result.err.find(line), std::string::npos) << result.err;
    }
    EXPECT_EQ(result.err.find("win error code"), std::string::npos) << result.err;
  }
}

}  // namespace
}  // namespace qv82::test
