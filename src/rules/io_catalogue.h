#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace qv82 {

inline constexpr std::string_view kOutputsSection = "OUTPUTS";
inline constexpr std::string_view kInputsSection = "INPUTS";

// The function catalogue io.ini: the output and input functions in list
// order, their templates, and the section of rules behind each function.
// Names are matched without regard to letter case, as in the INI file.
class IoCatalogue {
 public:
  // Reads the file. A file that is missing, unreadable, not text, lists no
  // function or holds a template that is not one gives an empty catalogue,
  // so that the rules check nothing, and says so in problem().
  void load(const std::string& path);

  // Why the rules are off, as the file's full path and the reason
  // ("/home/op/.config/qv82hs/io.ini is missing"); empty when they are on.
  const std::string& problem() const { return problem_; }

  const std::vector<std::string>& outputs() const { return outputs_; }
  const std::vector<std::string>& inputs() const { return inputs_; }

  // The template of a function of OUTPUTS or INPUTS, or `fallback`.
  std::string function_template(std::string_view section, std::string_view name,
                                std::string_view fallback) const;

  // A key of the function's own section, or `fallback` when missing or empty.
  std::string rule(std::string_view function, std::string_view key,
                   std::string_view fallback) const;

 private:
  using Section = std::map<std::string, std::string>;  // upper-cased key -> value
  const Section* section(std::string_view name) const;

  std::vector<std::string> outputs_;
  std::vector<std::string> inputs_;
  std::map<std::string, Section> sections_;  // upper-cased section name
  std::string problem_;
};

}  // namespace qv82
