#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace qv82 {

class Ui;

class ParameterTree;

// A configuration file, the template or the target that cannot be read or
// written. The text names the file and the reason.
class ConfigFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// What marks a text file as a configuration file.
inline constexpr std::string_view kFormatMarker = "format=\"QV31/QV82\"";

// Reads the file to its end; true when a line holds the format marker.
bool has_format_marker(const std::string& path);

// Refuses, with ConfigFileError naming the file's full path, the line and
// the reason, a file that is not a whole XML document (see document_fault):
// one cut short or damaged would otherwise be opened, shown and downloaded
// as far as it goes, leaving the device half old and half new.
void check_whole_document(const std::string& path);

// Reads a configuration file the user chose: the format marker and a whole
// document first, then `load` (which may throw what reading and checking
// items throws). What is wrong is said to the user; false then, and
// nothing of the file is taken.
bool read_chosen_file(const std::string& path, Ui& ui, const std::function<void()>& load);

// Builds the template's layout with the data of a chosen file: for every
// template line holding "address", the key is the four characters starting
// eleven characters after "address"; the first line of the chosen file whose
// tag (up to its first ">") contains the key gives what follows that ">".
// Writes the result safely to temporary_path with CR LF line ends.
void merge_into_temporary(const std::string& template_path, const std::string& chosen_path,
                          const std::string& temporary_path);

// The chosen file's data laid into the template's layout, as opening does
// (merge_lines). Throws ConfigFileError naming the file and the line when an
// item line of the chosen file carries text after its "</Data>".
std::vector<std::string> merged_configuration(const std::string& template_path,
                                              const std::string& chosen_path);

// Writes the template with the data of the tree's checked items (see
// configuration_lines) to force_xml_extension(target_path) and returns that
// name. The text goes to a fresh file beside the target that then replaces
// it, so a failure leaves an existing target untouched.
std::string write_configuration(const std::string& template_path, const ParameterTree& tree,
                                const std::string& target_path);

// The name with its extension replaced by ".xml", or ".xml" appended.
std::string force_xml_extension(const std::string& name);

// The text steps behind the two operations, over lines without line ends.
std::vector<std::string> merge_lines(const std::vector<std::string>& template_lines,
                                     const std::vector<std::string>& chosen_lines);
std::vector<std::string> configuration_lines(const std::vector<std::string>& template_lines,
                                             const ParameterTree& tree);

// The template's lines, refused with ConfigFileError when the file was cut
// short or its groups do not close: every item after the cut would silently
// be missing from each upload and save.
std::vector<std::string> read_template_lines(const std::string& path);

// Lines of a text file without their LF or CR LF ends.
std::vector<std::string> read_text_lines(const std::string& path);
// Writes every line followed by CR LF through a fresh file in the target's
// directory that replaces the target only when it is complete.
void write_text_lines(const std::string& path, const std::vector<std::string>& lines);

}  // namespace qv82
