#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "device/ui.h"

namespace qv82::bench {

// The person at a benchmark's bench: takes every section, gives one answer to
// every question, remembers what was said and prints errors when asked to.
class BenchUi : public Ui {
 public:
  explicit BenchUi(Answer answer = Answer::Cancel, bool print_errors = true)
      : answer_(answer), print_errors_(print_errors) {}

  void error(const std::string& text) override {
    errors.push_back(text);
    if (print_errors_) std::fprintf(stderr, "error: %s\n", text.c_str());
  }
  void information(const std::string& text) override { last_information = text; }
  Answer question(const std::string&, Buttons) override { return answer_; }
  std::optional<std::string> password(const std::string&, const std::string&,
                                      const Validator&) override {
    return std::nullopt;
  }
  bool choose_sections(const std::string&, ParameterTree&) override { return true; }
  std::optional<std::string> open_file(const std::string&) override { return std::nullopt; }
  std::optional<std::string> save_file(const std::string&) override { return std::nullopt; }
  void wait_cursor(bool) override {}

  std::vector<std::string> errors;
  std::string last_information;

 private:
  Answer answer_;
  bool print_errors_;
};

}  // namespace qv82::bench
