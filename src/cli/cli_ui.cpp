#include "cli/cli_ui.h"

#include <cctype>
#include <iostream>

#include "files/text.h"
#include "lang/language.h"
#include "platform/system.h"

namespace qv82::cli {

CliUi::CliUi(const GlobalOptions& options, std::ostream& out, std::ostream& err)
    : interactive(platform::input_is_terminal()), options_(options), out_(out), err_(err) {}

void CliUi::error(const std::string& text) {
  if (muted) return;
  ++errors_;
  err_ << text << "\n" << std::flush;
}

void CliUi::file_error(const std::string& text) {
  if (!muted) data_error_ = true;
  error(text);
}

void CliUi::information(const std::string& text) {
  if (muted) return;
  // What goes to stdout is read by scripts: it stays in English.
  if (information_to_err) {
    err_ << text << "\n" << std::flush;
  } else {
    out_ << english_form(text) << "\n" << std::flush;
  }
}

std::optional<std::string> CliUi::read_line(const std::string& prompt, bool echo) {
  if (!interactive) return std::nullopt;
  err_ << prompt << std::flush;
  std::string line;
  bool got = false;
  {
    std::optional<platform::HiddenTyping> quiet;
    if (!echo) quiet.emplace();
    got = static_cast<bool>(std::getline(std::cin, line));
  }
  if (!echo) err_ << "\n";
  if (!got) return std::nullopt;
  return line;
}

Answer CliUi::question(const std::string& text, Buttons buttons) {
  if (buttons == Buttons::Ok) {
    if (!muted) err_ << text << "\n";
    return Answer::Ok;
  }
  const bool ok_buttons = buttons == Buttons::OkCancel;
  const Answer yes = ok_buttons ? Answer::Ok : Answer::Yes;
  const Answer cautious = ok_buttons ? Answer::Cancel : Answer::No;
  if (muted) return cautious;
  if (options_.yes) {
    err_ << text << " " << (ok_buttons ? "OK" : "Yes") << "\n";
    return yes;
  }
  const char* choices = buttons == Buttons::YesNoCancel ? " [y/n/c] "
                        : ok_buttons                    ? " [ok/cancel] "
                                                        : " [y/n] ";
  for (;;) {
    const auto line = read_line(text + choices, true);
    if (!line) {
      err_ << text << " " << (ok_buttons ? "Cancel" : "No") << "\n";
      return cautious;
    }
    const std::string answer = upper_case(*line);
    if (answer == "Y" || answer == "YES" || answer == "O" || answer == "OK") return yes;
    if (answer == "N" || answer == "NO") return cautious;
    if ((answer == "C" || answer == "CANCEL") && buttons != Buttons::YesNo) return Answer::Cancel;
  }
}

std::optional<std::string> CliUi::password(const std::string& caption, const std::string& note,
                                           const Validator& validate) {
  const bool factory = caption == language_text(msg::kEnterFactoryPassword);
  const std::optional<std::string>& given = factory ? options_.password : options_.pin;
  if (given) {
    // A given value is checked as the dialog would; a bad one cancels
    // rather than being offered again and again.
    const std::string text = upper_case(*given);
    if (const auto problem = validate ? validate(text) : std::nullopt) {
      error(*problem + " (" + (factory ? "--password" : "--pin") + ")");
      return std::nullopt;
    }
    return text;
  }
  if (!interactive) {
    // Nobody to ask: the refusal must not go unsaid.
    error(caption + ": none given (" + (factory ? "--password" : "--pin") + ")");
    return std::nullopt;
  }
  if (!note.empty()) err_ << note << "\n";
  for (;;) {
    const auto line = read_line(caption + ": ", false);
    if (!line || line->empty()) return std::nullopt;
    const std::string text = upper_case(*line);
    if (const auto problem = validate ? validate(text) : std::nullopt) {
      error(*problem);
      continue;
    }
    return text;
  }
}

bool CliUi::choose_sections(const std::string&, ParameterTree& tree) {
  if (section_choice) section_choice(tree);
  return true;
}

std::optional<std::string> CliUi::open_file(const std::string&) { return file_choice; }

std::optional<std::string> CliUi::save_file(const std::string&) { return file_choice; }

}  // namespace qv82::cli
