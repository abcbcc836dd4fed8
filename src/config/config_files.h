#pragma once

#include <optional>
#include <string>

namespace qv82 {

class ConfigImage;
class ParameterTree;
class Ui;

inline constexpr const char* kTemporaryFileName = "temporary.xml";
inline constexpr const char* kSaveFileFilter = "Corvanti coin selector xml files|*.xml";
inline constexpr const char* kOpenFileFilterAll =
    "Corvanti coin selector xml files|*.xml|All files|*.*";

// "File Open" and "File Save": configuration files made from the template of
// the working directory, the sections chosen in the parameter tree dialog.
// A file that cannot be read or written ends the operation with the error
// naming it; the pages keep their values then.
class ConfigFiles {
 public:
  ConfigFiles(ParameterTree& tree, ConfigImage& image, Ui& ui, std::string workdir);
  ConfigFiles(const ConfigFiles&) = delete;
  ConfigFiles& operator=(const ConfigFiles&) = delete;

  // The open dialog, then open(path). True when sections were applied.
  bool open();
  // Format test, merge into temporary.xml, the section dialog, the pages.
  bool open(const std::string& path);
  // The loaded sections into the tree, the section dialog, the save dialog
  // and the file. The name written (".xml" forced), or nothing.
  std::optional<std::string> save();

  std::string template_path() const;
  std::string temporary_path() const;

  const std::string workdir;

 private:
  ParameterTree& tree_;
  ConfigImage& image_;
  Ui& ui_;
};

}  // namespace qv82
