#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "device/ui.h"

namespace qv82::test {

// A scripted person at the bench: answers come from queues, everything
// shown is recorded in order. An empty queue answers No / Cancel, so a test
// that forgot to script a dialog sees the access refused rather than hang.
class FakeUi : public Ui {
 public:
  enum class Kind { Error, Information, Question, Password };
  struct Shown {
    Kind kind;
    std::string text;  // message text, or the password dialog's caption
  };

  // Answers to question(), in order.
  std::deque<Answer> answers;
  // Texts typed into successive password dialogs; nothing means Cancel. A
  // text the validator refuses shows its error and the next text is typed
  // into the same dialog.
  std::deque<std::optional<std::string>> passwords;
  // Answers of the tree dialog (OK when empty) and the file dialogs.
  std::deque<bool> section_answers;
  // What the person clicks in the tree dialog before answering.
  std::function<void(ParameterTree&)> on_sections;
  std::deque<std::optional<std::string>> open_files;
  std::deque<std::optional<std::string>> save_files;
  // Choices of the list dialog (nothing: Cancel), and the lists offered.
  std::deque<std::optional<std::size_t>> chosen_items;
  std::vector<std::vector<std::string>> offered_items;

  std::vector<Shown> shown;
  // Called as each error or information box comes up, to look at the
  // window behind it.
  std::function<void(const Shown&)> on_shown;
  int wait_cursor_depth = 0;

  void error(const std::string& text) override;
  void information(const std::string& text) override;
  Answer question(const std::string& text, Buttons buttons) override;
  std::optional<std::string> password(const std::string& caption, const std::string& note,
                                      const Validator& validate) override;
  bool choose_sections(const std::string& caption, ParameterTree& tree) override;
  std::optional<std::string> open_file(const std::string& filter) override;
  std::optional<std::string> save_file(const std::string& filter) override;
  void wait_cursor(bool on) override { wait_cursor_depth += on ? 1 : -1; }
  std::optional<std::size_t> choose_item(const std::string&,
                                         const std::vector<std::string>& items) override {
    offered_items.push_back(items);
    if (chosen_items.empty()) return std::nullopt;
    const auto chosen = chosen_items.front();
    chosen_items.pop_front();
    return chosen;
  }

  // The texts of one kind, in order.
  std::vector<std::string> texts(Kind kind) const;
  std::vector<std::string> errors() const { return texts(Kind::Error); }
  std::vector<std::string> informations() const { return texts(Kind::Information); }
  std::vector<std::string> questions() const { return texts(Kind::Question); }
  // Captions of the password dialogs shown.
  std::vector<std::string> password_prompts() const { return texts(Kind::Password); }
  void clear() { shown.clear(); }
};

}  // namespace qv82::test
