#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>

#include "cli/cli_options.h"
#include "device/ui.h"

namespace qv82::cli {

// The person at the bench, for the command line: information goes to
// stdout, errors to stderr. Questions take Yes or OK with --yes, otherwise
// they are asked on the terminal; without a terminal the cautious answer
// (No, Cancel) is taken. The password dialog takes --password or --pin by
// its caption, or asks on the terminal without echo; with neither the
// access is cancelled.
class CliUi : public Ui {
 public:
  CliUi(const GlobalOptions& options, std::ostream& out, std::ostream& err);

  void error(const std::string& text) override;
  void file_error(const std::string& text) override;
  void information(const std::string& text) override;
  Answer question(const std::string& text, Buttons buttons) override;
  std::optional<std::string> password(const std::string& caption, const std::string& note,
                                      const Validator& validate) override;
  // The tree as section_choice leaves it (as it stands without one): the
  // command line has no tree to tick.
  bool choose_sections(const std::string& caption, ParameterTree& tree) override;
  std::optional<std::string> open_file(const std::string& filter) override;
  std::optional<std::string> save_file(const std::string& filter) override;
  void wait_cursor(bool) override {}

  // While true, information goes to stderr too, so that stdout carries
  // only what the command was asked for.
  bool information_to_err = false;
  // What a command chose in place of the dialogs: the sections of the
  // parameter tree, and the file name both file dialogs answer with.
  std::function<void(ParameterTree&)> section_choice;
  std::optional<std::string> file_choice;

  // While true nothing is shown and questions take the cautious answer: a
  // search whose failure is no error to the command.
  bool muted = false;
  // Errors shown so far.
  int error_count() const { return errors_; }
  // Whether one of them was about an installation or data file.
  bool data_error_shown() const { return data_error_; }

  // Whether stdin is a terminal one can ask on (tests may say no).
  bool interactive;

 private:
  std::optional<std::string> read_line(const std::string& prompt, bool echo);

  const GlobalOptions& options_;
  std::ostream& out_;
  std::ostream& err_;
  int errors_ = 0;
  bool data_error_ = false;
};

}  // namespace qv82::cli
