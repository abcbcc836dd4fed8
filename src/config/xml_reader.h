#pragma once

#include <cstddef>
#include <functional>
#include <iosfwd>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "config/xml_item.h"

namespace qv82 {

// A file that cannot be opened or read, or a parser error such as
// "Line too long on line 1".
class XmlError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The program's own small, tolerant XML reader. It reads the practical
// subset that the template and configuration files use and checks almost
// nothing: end tags need not match, elements may stay open at the end, and
// text outside elements goes to the current item.
class XmlReader {
 public:
  // Input is read through a buffer of this size that always holds whole
  // lines; one byte of it is reserved, as in the original buffer layout.
  static constexpr std::size_t kBufferSize = 4096;

  XmlReader() = default;
  XmlReader(const XmlReader&) = delete;
  XmlReader& operator=(const XmlReader&) = delete;

  // Raised after every successful load.
  std::function<void()> on_loaded;

  // Parses the file into the root. Throws XmlError when the file cannot be
  // opened or read, or when a line does not fit even a whole-file buffer;
  // the root then keeps its previous content and on_loaded is not raised.
  void load_file(const std::string& path);
  // The same over text held in memory.
  void load_text(std::string_view text);

  XmlItem& root() { return root_; }
  const XmlItem& root() const { return root_; }

  // The href of an xml-stylesheet declaration, if the document had one.
  const std::string& style_sheet() const { return style_sheet_; }

 private:
  void load(std::istream& input, std::size_t whole_size);

  XmlItem root_;
  std::string style_sheet_;
};

// Text helpers of the reader, exposed for the configuration files.
namespace xml {

// Removes CR LF and LF CR pairs and reduces runs of spaces to one.
std::string clean(std::string text);
// "<br/>" to CR LF, then &lt; &gt; &quot; and last &amp;.
std::string decode_entities(std::string text);
// Splits the attribute part of a tag into cleaned name=value entries.
std::vector<std::string> split_attributes(std::string_view part);

}  // namespace xml

}  // namespace qv82
