// qv82hs-cli decode reads the log of a whole upload from qv82hs-sim over a
// pseudo-terminal and explains every line of it.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <sstream>

#include "config/transfer_bench.h"
#include "sim/image_file.h"
#include "support/processes.h"
#include "support/temp_dir.h"

namespace qv82::test {
namespace {

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(DecodeEndToEnd, NamesEveryRequestAndReplyOfAnUpload) {
  TempDir dir;
  copy_data_files(dir.path());
  sim::Device configured;
  load_known_configuration(configured);
  std::string error;
  ASSERT_TRUE(sim::save_image_file(dir.file("known.txt"), configured.memory().nv(), error))
      << error;
  const std::string link = dir.file("selector");
  SimOnPty sim({"--image", dir.file("known.txt"), "--link", link});

  const RunResult upload =
      run_program(cli_binary(), {"--port", link, "--address", "2", "--workdir", dir.path(), "--log",
                                 dir.file("comm.log"), "upload", "-o", dir.file("conf.xml")});
  ASSERT_EQ(upload.status, 0) << upload.err;
  const std::vector<std::string> log = lines_of(dir.read("comm.log"));
  ASSERT_GT(log.size(), 100u);
  // The log itself stays raw lines.
  for (const std::string& line : log) {
    EXPECT_TRUE(std::regex_match(line, std::regex("(->|<-) [0-9A-F]+"))) << line;
  }

  const RunResult decoded = run_program(cli_binary(), {"decode", dir.file("comm.log")});
  ASSERT_EQ(decoded.status, 0) << decoded.err;
  const std::vector<std::string> out = lines_of(decoded.out);
  ASSERT_EQ(out.size(), log.size());
  for (std::size_t i = 0; i < log.size(); ++i) {
    EXPECT_EQ(out[i].rfind(log[i], 0), 0u) << out[i];
    const bool sent = log[i].rfind("->", 0) == 0;
    // Every request is named; every reply is an acknowledge to the request
    // before it.
    EXPECT_EQ(out[i].find("unknown"), std::string::npos) << out[i];
    EXPECT_EQ(out[i].find("["), std::string::npos) << out[i];
    EXPECT_NE(out[i].find(sent ? "sent 1 to 2: " : "received 2 to 1: ACK to "), std::string::npos)
        << out[i];
  }
  const auto has = [&](const std::string& text) {
    return std::any_of(out.begin(), out.end(), [&](const std::string& line) {
      return line.find(text) != std::string::npos;
    });
  };
  EXPECT_TRUE(has("ACK to request manufacturer id: \"Corvanti\""));
  EXPECT_TRUE(has("vendor: 09, before upload or coin programming"));
  EXPECT_TRUE(has("vendor: read memory 0x0750, 32 bytes: channel 16"));
  EXPECT_TRUE(has("32 bytes: 0x0570 channel 1: "));
  EXPECT_TRUE(has("I/O record 7 In2Out7"));
  EXPECT_TRUE(has("statistic counters"));

  // Standard input reads the same; the explained output reads back alike.
  EXPECT_EQ(run_program(cli_binary(), {"decode"}, dir.read("comm.log")).out, decoded.out);
  EXPECT_EQ(run_program(cli_binary(), {"decode", "-"}, decoded.out).out, decoded.out);

  const RunResult missing = run_program(cli_binary(), {"decode", dir.file("none.log")});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("none.log"), std::string::npos) << missing.err;
  EXPECT_EQ(run_program(cli_binary(), {"decode", "a", "b"}).status, 64);
}

TEST(DecodeEndToEnd, HostileInputEndsPromptlyAndCannotSteerTheTerminal) {
  for (const auto& [path, reason] : {std::pair{"/dev/zero", "it is not a regular file"},
                                     std::pair{"/tmp", "it is a folder"}}) {
    const RunResult refused = run_program(cli_binary(), {"decode", path});
    EXPECT_EQ(refused.status, 1) << path;
    EXPECT_EQ(refused.err, std::string("qv82hs-cli: cannot read ") + path + ": " + reason + "\n");
  }
  // An escape sequence and a line far longer than any log line, on stdin.
  const RunResult garbage =
      run_program(cli_binary(), {"decode"}, "\x1b[2J-> 02\x07\n" + std::string(100000, 'A') + "\n");
  EXPECT_EQ(garbage.status, 0);
  EXPECT_EQ(garbage.out.find('\x1b'), std::string::npos);
  EXPECT_EQ(garbage.out.find('\x07'), std::string::npos);
  EXPECT_LT(garbage.out.size(), 1000u);
  EXPECT_NE(garbage.out.find("not a log line (longer than"), std::string::npos) << garbage.out;
}

}  // namespace
}  // namespace qv82::test
