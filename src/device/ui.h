#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qv82 {

class ParameterTree;

enum class Buttons { Ok, YesNo, YesNoCancel, OkCancel };
enum class Answer { Ok, Cancel, Yes, No };

// Everything the core asks of the person at the bench. The windows show
// message boxes and dialogs; the command line answers from its options and
// the terminal; tests script the answers.
class Ui {
 public:
  // Checks a typed text; returns the error message to show, or nothing when
  // the text is accepted.
  using Validator = std::function<std::optional<std::string>(const std::string&)>;

  virtual ~Ui() = default;

  virtual void error(const std::string& text) = 0;
  // An installation or data file that cannot be used, named in the text.
  // Shown as an error; the command line ends with its data-error status.
  virtual void file_error(const std::string& text) { error(text); }
  virtual void information(const std::string& text) = 0;
  virtual Answer question(const std::string& text, Buttons buttons) = 0;

  // The masked password dialog with the given caption, which also says
  // inside the dialog what is asked for; a note, when not empty, says why
  // it is asked (an earlier password refused). Each OK runs the validator;
  // an error is shown and the dialog stays open. Returns the accepted text,
  // or nothing on Cancel.
  virtual std::optional<std::string> password(const std::string& caption, const std::string& note,
                                              const Validator& validate) = 0;

  // The parameter tree dialog, modal, with its caption. True on OK.
  virtual bool choose_sections(const std::string& caption, ParameterTree& tree) = 0;

  // File choice; filter as "Description|*.ext|...". Nothing on Cancel.
  virtual std::optional<std::string> open_file(const std::string& filter) = 0;
  virtual std::optional<std::string> save_file(const std::string& filter) = 0;

  // The hourglass during long operations.
  virtual void wait_cursor(bool on) = 0;

  // Lines to read under a caption (a list of differences). An information
  // box by default.
  virtual void show_lines(const std::string& caption, const std::vector<std::string>& lines) {
    std::string text = caption;
    for (const std::string& line : lines) text += "\n" + line;
    information(text);
  }
  // One of the items, chosen under the caption; nothing on Cancel (and
  // where no choice can be offered).
  virtual std::optional<std::size_t> choose_item(const std::string& caption,
                                                 const std::vector<std::string>& items) {
    (void)caption;
    (void)items;
    return std::nullopt;
  }

  // While set, the section dialog also offers "Show what changes", which
  // calls it with the tree as marked so far.
  std::function<void(const ParameterTree&)> section_changes;
};

}  // namespace qv82
