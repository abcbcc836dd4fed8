// qv82hs-cli with broken installation files: the message names the file,
// the section and key where there is one, and the reason; the status is 65.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "support/processes.h"

namespace qv82::test {
namespace {

class InstallationFiles : public ::testing::Test {
 protected:
  InstallationFiles() : dir(make_temp_dir()), link(dir + "/qv82") { install(); }
  // The installation's files, as shipped.
  void install() {
    for (const char* name : {"qv82hs.ini", "io.ini", "template.xml"}) {
      std::filesystem::remove_all(dir + "/" + name);
      std::filesystem::copy_file(std::string(QV82_SOURCE_DIR "/data/") + name, dir + "/" + name);
    }
  }
  ~InstallationFiles() override {
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
  }
  // Stop time min set to the value, the rest of the settings kept.
  void set_stop_time_min(const std::string& value) {
    std::ifstream in(dir + "/qv82hs.ini", std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t at = text.find("Stop time min=");
    ASSERT_NE(at, std::string::npos);
    const std::size_t end = text.find('\n', at);
    text.replace(at, end - at, "Stop time min=" + value);
    std::ofstream(dir + "/qv82hs.ini", std::ios::binary) << text;
  }

  std::string dir;
  std::string link;
};

TEST_F(InstallationFiles, MessageNamesFileAndReasonAndExits65) {
  using namespace std::string_literals;
  const std::string upload_args[] = {"upload", "-o", dir + "/out.xml", "--sections", "modes"};
  const std::vector<std::string> upload(std::begin(upload_args), std::end(upload_args));
  const struct {
    const char* name;
    std::function<void()> spoil;
    std::vector<std::string> args;
    std::vector<std::string> err_parts;
  } cases[] = {
      {"settings missing",
       [&] { std::filesystem::remove(dir + "/qv82hs.ini"); },
       {"identify"},
       {"Coin selector is not compatible with this software. " + dir +
        "/qv82hs.ini is missing, so [SUPPORTED TYPES] accepts no device type"}},
      {"working directory mistyped",
       [] {},
       {"--workdir", dir + "/nowhere", "identify"},
       {"--workdir " + dir + "/nowhere: no such folder"}},
      {"stop time min empty",
       [&] { set_stop_time_min(""); },
       upload,
       {"[SETTINGS] Stop time min in " + dir + "/qv82hs.ini: '' is not a valid hexadecimal value"}},
      {"stop time min with a NUL, long",
       [&] { set_stop_time_min("0\0"s + std::string(200, 'Z')); },
       upload,
       {"Stop time min in ", "'0\\x00ZZZ", "ZZZ...' is not a valid"}},
      {"template a folder",
       [&] {
         std::filesystem::remove(dir + "/template.xml");
         std::filesystem::create_directory(dir + "/template.xml");
       },
       upload,
       {dir + "/template.xml is a folder, not a file"}},
      {"template one endless line",
       [&] { std::ofstream(dir + "/template.xml") << std::string(10000, 'x'); },
       upload,
       {dir + "/template.xml: Line too long on line 1"}},
  };
  SimOnPty sim({"--address", "3", "--link", link});
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    install();
    c.spoil();
    std::vector<std::string> args = {"--port", link, "--workdir", dir, "--address", "3"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const RunResult result = run_program(cli_binary(), args);
    EXPECT_EQ(result.status, 65) << result.err;
    for (const std::string& part : c.err_parts) {
      EXPECT_NE(result.err.find(part), std::string::npos) << part << "\n" << result.err;
    }
    EXPECT_LT(result.err.size(), 400u) << "a bad value is quoted in part only";
  }
}

// A damaged io.ini is named on every command that uses the rules; a download
// of the I/O section goes ahead only with --yes. A missing Production.ini is
// named instead of the device type.
TEST_F(InstallationFiles, DamagedRulesFilesAreNamedOnEveryCommand) {
  SimOnPty sim({"--address", "3", "--link", link});
  const std::vector<std::string> common = {"--port", link, "--workdir", dir, "--address", "3"};
  const auto cli = [&](std::vector<std::string> args) {
    args.insert(args.begin(), common.begin(), common.end());
    return run_program(cli_binary(), args);
  };
  const std::string conf = dir + "/conf.xml";
  ASSERT_EQ(cli({"upload", "-o", conf}).status, 0);
  // Each damaged kind is worded by the catalogue; here one of them is seen
  // through every command that uses the rules.
  const std::string io = dir + "/io.ini";
  std::ofstream(io) << "[OUTPUTS]\nCoin pulse=XYZ\n";
  const RunResult show = cli({"show", conf});
  EXPECT_EQ(show.status, 0) << show.err;
  EXPECT_NE(show.err.find("The I/O rules are off: " + io +
                          " [OUTPUTS] Coin pulse=XYZ is not a function template"),
            std::string::npos)
      << show.err;

  const RunResult refused = cli({"download", conf});
  EXPECT_EQ(refused.status, 65) << refused.err;
  // Said once, then why nothing was written.
  const std::size_t said = refused.err.find("The I/O rules are off: " + io);
  EXPECT_NE(said, std::string::npos) << refused.err;
  EXPECT_EQ(refused.err.find("The I/O rules are off", said + 1), std::string::npos) << refused.err;
  EXPECT_NE(refused.err.find("only when --yes is given"), std::string::npos) << refused.err;
  EXPECT_EQ(refused.out, "");
  const RunResult channels = cli({"download", conf, "--sections", "channels"});
  EXPECT_EQ(channels.status, 0) << channels.err;
  const RunResult confirmed = cli({"--yes", "download", conf});
  EXPECT_EQ(confirmed.status, 0) << confirmed.err;
  EXPECT_EQ(confirmed.out, "Operation finished\n");

  const RunResult production = cli({"production-test"});
  EXPECT_EQ(production.status, 65) << production.err;
  EXPECT_NE(
      production.err.find("The production limits file is missing: " + dir + "/Production.ini"),
      std::string::npos)
      << production.err;
  EXPECT_EQ(production.err.find("is not supported"), std::string::npos) << production.err;
}

}  // namespace
}  // namespace qv82::test
