#include "fake_ui.h"

namespace qv82::test {

void FakeUi::error(const std::string& text) {
  shown.push_back({Kind::Error, text});
  if (on_shown) on_shown(shown.back());
}

void FakeUi::information(const std::string& text) {
  shown.push_back({Kind::Information, text});
  if (on_shown) on_shown(shown.back());
}

Answer FakeUi::question(const std::string& text, Buttons buttons) {
  shown.push_back({Kind::Question, text});
  if (!answers.empty()) {
    const Answer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  switch (buttons) {
    case Buttons::Ok:
      return Answer::Ok;
    case Buttons::OkCancel:
      return Answer::Cancel;
    case Buttons::YesNo:
    case Buttons::YesNoCancel:
      break;
  }
  return Answer::No;
}

std::optional<std::string> FakeUi::password(const std::string& caption, const std::string&,
                                            const Validator& validate) {
  shown.push_back({Kind::Password, caption});
  while (!passwords.empty()) {
    const std::optional<std::string> typed = passwords.front();
    passwords.pop_front();
    if (!typed) return std::nullopt;
    if (const auto problem = validate ? validate(*typed) : std::nullopt) {
      error(*problem);
      continue;
    }
    return typed;
  }
  return std::nullopt;
}

bool FakeUi::choose_sections(const std::string&, ParameterTree& tree) {
  if (on_sections) on_sections(tree);
  if (section_answers.empty()) return true;
  const bool answer = section_answers.front();
  section_answers.pop_front();
  return answer;
}

std::optional<std::string> FakeUi::open_file(const std::string& /*filter*/) {
  if (open_files.empty()) return std::nullopt;
  auto name = open_files.front();
  open_files.pop_front();
  return name;
}

std::optional<std::string> FakeUi::save_file(const std::string& /*filter*/) {
  if (save_files.empty()) return std::nullopt;
  auto name = save_files.front();
  save_files.pop_front();
  return name;
}

std::vector<std::string> FakeUi::texts(Kind kind) const {
  std::vector<std::string> result;
  for (const Shown& item : shown) {
    if (item.kind == kind) result.push_back(item.text);
  }
  return result;
}

}  // namespace qv82::test
