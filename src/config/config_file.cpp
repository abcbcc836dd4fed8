#include "config/config_file.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "config/parameter_tree.h"
#include "config/xml_reader.h"
#include "device/ui.h"
#include "config/whole_document.h"
#include "files/full_path.h"
#include "files/read_file.h"
#include "files/replace_file.h"
#include "lang/language.h"
#include "link/errors.h"

namespace qv82 {

namespace fs = std::filesystem;

namespace {

constexpr int kEmptyGroupPasses = 4;

bool contains(std::string_view line, std::string_view what) {
  return line.find(what) != std::string_view::npos;
}

std::size_t count_of(std::string_view line, std::string_view what) {
  std::size_t count = 0;
  for (std::size_t at = line.find(what); at != std::string_view::npos;
       at = line.find(what, at + what.size())) {
    ++count;
  }
  return count;
}

[[noreturn]] void file_error(int what, const std::string& path, const std::string& why) {
  throw ConfigFileError(language_text(what) + " \"" + path + "\": " + why);
}

// Item texts are hex; anything else is escaped so that it cannot break the
// one-element-per-line layout or the element itself.
std::string escaped_text(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '\r':
      case '\n':
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::vector<std::string> without_empty_groups(std::vector<std::string> lines) {
  // Each pass drops the innermost empty groups, so nesting needs one pass a level.
  for (int pass = 0; pass < kEmptyGroupPasses; ++pass) {
    std::vector<std::string> kept;
    kept.reserve(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (i + 1 < lines.size() && contains(lines[i], "<Group caption") &&
          contains(lines[i + 1], "</Group>")) {
        ++i;
        continue;
      }
      kept.push_back(std::move(lines[i]));
    }
    lines = std::move(kept);
  }
  return lines;
}

}  // namespace

std::vector<std::string> read_text_lines(const std::string& path) {
  const FileContent file = read_whole_file(path, kConfigurationFileLimit);
  if (!file.ok()) {
    file_error(
        file.failure == ReadFailure::kCannotRead ? msg::kCannotReadFile : msg::kCannotOpenFile,
        path, file.reason);
  }
  const std::string& content = file.content;

  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < content.size()) {
    std::size_t end = content.find('\n', start);
    if (end == std::string::npos) end = content.size();
    std::string line = content.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

void write_text_lines(const std::string& path, const std::vector<std::string>& lines) {
  std::string content;
  for (const std::string& line : lines) content += line + "\r\n";
  if (const auto failure = replace_file(path, content)) {
    file_error(msg::kCannotWriteFile, path, *failure);
  }
}

std::vector<std::string> read_template_lines(const std::string& path) {
  std::vector<std::string> lines = read_text_lines(path);
  std::size_t opened = 0;
  std::size_t closed = 0;
  std::string_view last;
  for (const std::string& line : lines) {
    opened += count_of(line, "<Group");
    closed += count_of(line, "</Group>");
    const std::size_t first = line.find_first_not_of(" \t");
    if (first != std::string::npos) last = std::string_view(line).substr(first);
  }
  while (!last.empty() && (last.back() == ' ' || last.back() == '\t')) last.remove_suffix(1);
  if (last != "</MachineData>" || opened != closed) {
    // The per-user copy is never replaced by a reinstall: the file itself
    // must go.
    throw ConfigFileError(language_text(msg::kTemplateIncomplete, {path}));
  }
  return lines;
}

bool read_chosen_file(const std::string& path, Ui& ui, const std::function<void()>& load) {
  try {
    if (!has_format_marker(path)) {
      ui.error(language_text(msg::kFileFormatError));
      return false;
    }
    check_whole_document(path);
    load();
  } catch (const ConfigFileError& e) {
    ui.error(e.what());
    return false;
  } catch (const XmlError& e) {
    ui.error(e.what());
    return false;
  } catch (const ConversionError& e) {
    ui.error(e.what());
    return false;
  }
  return true;
}

void check_whole_document(const std::string& path) {
  const FileContent file = read_whole_file(path, kConfigurationFileLimit);
  if (!file.ok()) {
    file_error(
        file.failure == ReadFailure::kCannotRead ? msg::kCannotReadFile : msg::kCannotOpenFile,
        path, file.reason);
  }
  if (const auto fault = document_fault(file.content)) {
    throw ConfigFileError(language_text(msg::kNotAWholeConfigurationFile) + full_path(path) +
                          language_text(msg::kOnLine) + std::to_string(fault->line) + ": " +
                          fault->reason);
  }
}

bool has_format_marker(const std::string& path) {
  for (const std::string& line : read_text_lines(path)) {
    if (contains(line, kFormatMarker)) return true;
  }
  return false;
}

std::vector<std::string> merge_lines(const std::vector<std::string>& template_lines,
                                     const std::vector<std::string>& chosen_lines) {
  std::vector<std::string> out;
  out.reserve(template_lines.size());
  for (const std::string& line : template_lines) {
    const std::size_t address = line.find("address");
    const std::size_t tag_end = line.find('>');
    // Only a complete key is looked for: a shorter one would match at random.
    if (address == std::string::npos || address + 15 > line.size() ||
        tag_end == std::string::npos) {
      out.push_back(line);
      continue;
    }
    const std::string key = line.substr(address + 11, 4);
    std::string merged = line;
    for (const std::string& chosen : chosen_lines) {
      const std::size_t chosen_end = chosen.find('>');
      if (chosen_end == std::string::npos) continue;
      if (std::string_view(chosen).substr(0, chosen_end + 1).find(key) == std::string_view::npos)
        continue;
      merged = line.substr(0, tag_end + 1) + chosen.substr(chosen_end + 1);
      break;
    }
    out.push_back(std::move(merged));
  }
  return out;
}

std::vector<std::string> configuration_lines(const std::vector<std::string>& template_lines,
                                             const ParameterTree& tree) {
  static constexpr std::string_view kDataEnd = "</Data>";
  std::vector<std::string> lines;
  lines.reserve(template_lines.size());
  for (std::size_t n = 0; n < template_lines.size(); ++n) {
    const std::string& line = template_lines[n];
    if (!contains(line, "Data caption")) {
      lines.push_back(line);
      continue;
    }
    const std::size_t begin = line.find("0x0");
    if (begin == std::string::npos) continue;
    const std::size_t end = line.find('"', begin);
    const std::string address =
        line.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
    const std::size_t node = tree.find_by_address(address);
    if (node == ParameterTree::kNotFound || tree.state(node) != CheckState::kChecked) continue;
    const std::size_t data_end = line.find(kDataEnd);
    if (data_end == std::string::npos) {
      throw ConfigFileError(language_text(msg::kTemplateLineHasNoDataEnd, {std::to_string(n + 1)}));
    }
    lines.push_back(line.substr(0, data_end) + escaped_text(tree.text(node)) +
                    line.substr(data_end));
  }
  lines = without_empty_groups(std::move(lines));
  if (lines.size() == 3) lines.erase(lines.begin(), lines.begin() + 2);
  return lines;
}

std::vector<std::string> merged_configuration(const std::string& template_path,
                                              const std::string& chosen_path) {
  const std::vector<std::string> template_lines = read_template_lines(template_path);
  const std::vector<std::string> chosen_lines = read_text_lines(chosen_path);
  static constexpr std::string_view kDataEnd = "</Data>";
  for (std::size_t n = 0; n < chosen_lines.size(); ++n) {
    const std::string& line = chosen_lines[n];
    const std::size_t end = line.find(kDataEnd);
    if (end == std::string::npos) continue;
    // Whatever follows would ride along into the item's text.
    if (line.find_first_not_of(" \t", end + kDataEnd.size()) != std::string::npos) {
      throw ConfigFileError(
          language_text(msg::kTextAfterDataEnd, {std::to_string(n + 1), chosen_path}));
    }
  }
  return merge_lines(template_lines, chosen_lines);
}

void merge_into_temporary(const std::string& template_path, const std::string& chosen_path,
                          const std::string& temporary_path) {
  write_text_lines(temporary_path, merged_configuration(template_path, chosen_path));
}

std::string force_xml_extension(const std::string& name) {
  return fs::path(name).replace_extension(".xml").string();
}

std::string write_configuration(const std::string& template_path, const ParameterTree& tree,
                                const std::string& target_path) {
  const std::vector<std::string> lines =
      configuration_lines(read_template_lines(template_path), tree);
  const std::string target = force_xml_extension(target_path);
  write_text_lines(target, lines);
  return target;
}

}  // namespace qv82
