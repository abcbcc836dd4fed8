// qv82hs-cli upload of one section, the channel command on its file and the usage of both,
// against qv82hs-sim over a pseudo-terminal.
#include <gtest/gtest.h>

#include "cli/cli_bench.h"

namespace qv82::test {
namespace {

TEST(TransferEndToEnd, SectionsAndUsage) {
  CliBench bench;
  SimOnPty sim(bench.sim({}));
  const RunResult channels =
      bench.cli({"upload", "-o", bench.file("channels.cfg"), "--sections", "channels"});
  EXPECT_EQ(channels.status, 0) << channels.err;
  EXPECT_NE(channels.err.find("channels.xml"), std::string::npos) << "saved as .xml";
  const std::string saved = bench.dir.read("channels.xml");
  EXPECT_NE(saved.find("address=\"0x0750\""), std::string::npos);
  EXPECT_EQ(saved.find("address=\"0x0770\""), std::string::npos);
  EXPECT_EQ(saved.find("address=\"0x081A\""), std::string::npos);

  const RunResult last = bench.cli({"channel", "16", bench.file("channels.xml")});
  EXPECT_EQ(last.status, 0) << last.err;
  EXPECT_NE(last.out.find("Channel 16\n"), std::string::npos) << last.out;

  bench.dir.write("plain.xml", "<MachineData/>\n");
  const RunResult wrong_format = bench.cli({"download", bench.file("plain.xml")});
  EXPECT_EQ(wrong_format.status, 1);
  EXPECT_NE(wrong_format.err.find("File format error"), std::string::npos) << wrong_format.err;

  for (const auto& args :
       std::vector<std::vector<std::string>>{{"upload"},
                                             {"upload", "-o", "x.xml", "--sections", "coins"},
                                             {"download"},
                                             {"download", "a.xml", "b.xml"},
                                             {"channel", "17"},
                                             {"channel"}}) {
    EXPECT_EQ(bench.cli(args).status, 64) << args.back();
  }
}

}  // namespace
}  // namespace qv82::test
