// The technician's language on the command line: words for people follow --language, the
// printed forms scripts read do not (production-test's are checked with the production tests).
#include <gtest/gtest.h>

#include "cli/cli_bench.h"
#include "lang/language.h"

namespace qv82::test {
namespace {

TEST(CliLanguage, MessagesFollowTheChoicePrintedFormsDoNot) {
  CliBench bench;
  bench.options = {"--simulate"};
  const RunResult italian = bench.cli({"--language", "IT", "identify"});
  ASSERT_EQ(italian.status, 0) << italian.err;
  EXPECT_NE(italian.err.find(resource_text(kItalianBase + msg::kFoundAt)), std::string::npos)
      << italian.err;
  const RunResult unknown = bench.cli({"--language", "XX", "identify"});
  EXPECT_EQ(unknown.status, 64);
  EXPECT_NE(unknown.err.find("--language"), std::string::npos) << unknown.err;
  EXPECT_EQ(unknown.out, "");

  // One section is enough for show and compare and quick to move.
  const std::string file = bench.file("uploaded.xml");
  ASSERT_EQ(bench.cli({"--language", "HR", "upload", "-o", file, "--sections", "modes"}).status, 0);
  // Each command in one of the two other languages, in turn.
  int turn = 0;
  for (const std::vector<std::string>& command :
       {std::vector<std::string>{"identify"}, std::vector<std::string>{"stats"},
        std::vector<std::string>{"show", file}, std::vector<std::string>{"compare", file}}) {
    const RunResult english = bench.cli(command);
    ASSERT_EQ(english.status, 0) << english.err;
    std::vector<std::string> args = {"--language", turn++ % 2 == 0 ? "IT" : "HR"};
    args.insert(args.end(), command.begin(), command.end());
    EXPECT_EQ(bench.cli(args).out, english.out) << args[1] << " " << command[0];
  }
}

}  // namespace
}  // namespace qv82::test
