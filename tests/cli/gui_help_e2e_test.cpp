// qv82hs --help and --version where no display can be reached (a terminal
// over ssh, a package check): they print and exit 0 without a window.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "support/processes.h"

namespace qv82::test {
namespace {

// Sets or clears a variable for the test's length, then puts it back.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value != nullptr) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (old_) {
      setenv(name_, old_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(GuiHelp, HelpAndVersionNeedNoDisplay) {
  // The X11 platform with no X server: any window system start would abort.
  const ScopedEnv platform("QT_QPA_PLATFORM", "xcb");
  const ScopedEnv display("DISPLAY", nullptr);
  const ScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
  const std::string gui = QV82_BINARY_DIR "/src/ui/qv82hs";
  if (!std::filesystem::exists(gui)) GTEST_SKIP() << "built without the windows";
  struct Case {
    const char* option;
    const char* expected;
  } cases[] = {
      {"--help", "--simulate"},
      {"-h", "--workdir <DIR>"},
      {"--version", "qv82hs 1.000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.option);
    const RunResult result = run_program(gui, {c.option});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find(c.expected), std::string::npos) << result.out;
    EXPECT_EQ(result.err.find("could not connect to display"), std::string::npos) << result.err;
  }
}

}  // namespace
}  // namespace qv82::test
