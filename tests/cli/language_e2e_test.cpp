// The technician's language on the command line: words for people follow
// --language or the setting, the printed forms scripts read do not.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "lang/language.h"
#include "support/processes.h"

namespace qv82::test {
namespace {

namespace fs = std::filesystem;

struct Workdir {
  explicit Workdir(const std::string& language_line = {}) : dir(make_temp_dir()) {
    for (const char* name : {"io.ini", "template.xml", "Production.ini"}) {
      fs::copy_file(std::string(QV82_SOURCE_DIR "/data/") + name, dir + "/" + name);
    }
    std::ifstream installed(QV82_SOURCE_DIR "/data/qv82hs.ini", std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(installed)), std::istreambuf_iterator<char>());
    // The first [SETTINGS] is the one read.
    const std::size_t section = text.find("[SETTINGS]");
    if (!language_line.empty() && section != std::string::npos) {
      text.insert(text.find('\n', section) + 1, language_line + "\n");
    }
    std::ofstream(dir + "/qv82hs.ini", std::ios::binary) << text;
  }
  ~Workdir() {
    std::error_code ignored;
    fs::remove_all(dir, ignored);
  }
  std::string dir;
};

std::string text(int base, int number) { return resource_text(base + number); }

RunResult run(const Workdir& work, std::vector<std::string> args) {
  args.insert(args.begin(), {"--simulate", "--workdir", work.dir});
  return run_program(cli_binary(), args);
}

TEST(CliLanguage, UnknownLanguageIsAUsageError) {
  Workdir work;
  for (const char* bad : {"XX", "", "english"}) {
    const RunResult result = run(work, {"--language", bad, "identify"});
    EXPECT_EQ(result.status, 64) << bad;
    EXPECT_NE(result.err.find("--language"), std::string::npos) << result.err;
    EXPECT_EQ(result.out, "");
  }
  EXPECT_EQ(run(work, {"identify", "--language"}).status, 64);
}

// The search's notes and the refusals are for people: they follow the choice.
TEST(CliLanguage, MessagesFollowTheChoice) {
  Workdir work;
  const RunResult italian = run(work, {"--language", "IT", "identify"});
  ASSERT_EQ(italian.status, 0) << italian.err;
  EXPECT_NE(italian.err.find(text(kItalianBase, msg::kFoundAt)), std::string::npos) << italian.err;

  const RunResult refused_en = run(work, {"--address", "9", "identify"});
  const RunResult refused_it = run(work, {"--language", "it", "--address", "9", "identify"});
  EXPECT_NE(refused_en.status, 0);
  EXPECT_EQ(refused_it.status, refused_en.status);
  EXPECT_NE(refused_it.err.find("Gettoniera non trovata all'indirizzo 9!"), std::string::npos)
      << refused_it.err;

  // Typed input refused before the device is asked, and a mistyped command.
  const RunResult bad_hex = run(work, {"--language", "IT", "send", "02ZZ"});
  EXPECT_EQ(bad_hex.status, 64);
  EXPECT_NE(bad_hex.err.find("'ZZ' non è un valore esadecimale valido"), std::string::npos)
      << bad_hex.err;
  const RunResult unknown = run(work, {"--language", "HR", "indentify"});
  EXPECT_EQ(unknown.status, 64);
  EXPECT_NE(unknown.err.find("nepoznata naredba 'indentify'"), std::string::npos) << unknown.err;

  // Also where no device is asked.
  const RunResult missing = run(work, {"--language", "HR", "show", work.dir + "/none.xml"});
  EXPECT_NE(missing.status, 0);
  EXPECT_NE(missing.err.find(text(kCroatianBase, msg::kCannotOpenFile)), std::string::npos)
      << missing.err;
}

TEST(CliLanguage, SettingChoosesTheLanguageAndTheOptionWins) {
  const std::string croatian_note = text(kCroatianBase, msg::kFoundAt);
  const std::string english_note = text(kEnglishBase, msg::kFoundAt);
  Workdir croatian("Language=HR");
  const RunResult result = run(croatian, {"identify"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.err.find(croatian_note), std::string::npos) << result.err;
  const RunResult english = run(croatian, {"--language", "EN", "identify"});
  EXPECT_NE(english.err.find(english_note), std::string::npos) << english.err;

  // A value the program does not know is English, said once, and no failure.
  Workdir unknown("Language=FR");
  const RunResult fallback = run(unknown, {"identify"});
  EXPECT_EQ(fallback.status, 0) << fallback.err;
  EXPECT_NE(fallback.err.find(english_note), std::string::npos) << fallback.err;
  EXPECT_NE(fallback.err.find("'FR' is not EN, IT or HR; English is used."), std::string::npos)
      << fallback.err;
}

// What scripts read stays as it is in every language.
TEST(CliLanguage, PrintedFormsAreTheSameInEveryLanguage) {
  Workdir work;
  const std::string file = work.dir + "/uploaded.xml";
  ASSERT_EQ(run(work, {"--language", "HR", "upload", "-o", file}).status, 0);
  // Each command in one of the two other languages, in turn.
  int turn = 0;
  for (const std::vector<std::string>& command :
       {std::vector<std::string>{"identify"}, std::vector<std::string>{"search"},
        std::vector<std::string>{"stats"}, std::vector<std::string>{"test"},
        std::vector<std::string>{"production-test", "--record", work.dir + "/units.csv"},
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
