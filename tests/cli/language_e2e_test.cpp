// The technician's language on the command line: words for people follow
// --language, the printed forms scripts read do not.
#include <gtest/gtest.h>

#include "config/transfer_bench.h"
#include "lang/language.h"
#include "support/processes.h"
#include "support/temp_dir.h"

namespace qv82::test {
namespace {

RunResult run(const std::string& work, std::vector<std::string> args) {
  args.insert(args.begin(), {"--simulate", "--workdir", work});
  return run_program(cli_binary(), args);
}

TEST(CliLanguage, MessagesFollowTheChoiceAndAnUnknownOneIsAUsageError) {
  const std::string work = make_temp_dir();
  copy_data_files(work);
  const RunResult italian = run(work, {"--language", "IT", "identify"});
  ASSERT_EQ(italian.status, 0) << italian.err;
  EXPECT_NE(italian.err.find(resource_text(kItalianBase + msg::kFoundAt)), std::string::npos)
      << italian.err;

  const RunResult unknown = run(work, {"--language", "XX", "identify"});
  EXPECT_EQ(unknown.status, 64);
  EXPECT_NE(unknown.err.find("--language"), std::string::npos) << unknown.err;
  EXPECT_EQ(unknown.out, "");
}

// What scripts read stays as it is in every language (production-test's
// lines are checked in another language with the production tests).
TEST(CliLanguage, PrintedFormsAreTheSameInEveryLanguage) {
  const std::string work = make_temp_dir();
  copy_data_files(work);
  // One section is enough for show and compare and quick to move.
  const std::string file = work + "/uploaded.xml";
  ASSERT_EQ(run(work, {"--language", "HR", "upload", "-o", file, "--sections", "modes"}).status, 0);
  // Each command in one of the two other languages, in turn.
  int turn = 0;
  for (const std::vector<std::string>& command :
       {std::vector<std::string>{"identify"}, std::vector<std::string>{"search"},
        std::vector<std::string>{"stats"}, std::vector<std::string>{"test"},
        std::vector<std::string>{"--yes", "erase", "--counters", "1"},
        std::vector<std::string>{"show", file}, std::vector<std::string>{"compare", file}}) {
    const RunResult english = run(work, command);
    ASSERT_EQ(english.status, 0) << english.err;
    const char* language = turn++ % 2 == 0 ? "IT" : "HR";
    std::vector<std::string> args = {"--language", language};
    args.insert(args.end(), command.begin(), command.end());
    const RunResult other = run(work, args);
    EXPECT_EQ(other.status, english.status) << language;
    EXPECT_EQ(other.out, english.out) << language << " " << command[0];
  }
}

}  // namespace
}  // namespace qv82::test
