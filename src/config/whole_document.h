#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace qv82 {

// Why a text is not a whole XML document, and the line (from 1) where that
// shows.
struct DocumentFault {
  std::size_t line = 0;
  std::string reason;
};

// The first thing that makes the text less than a whole document: an
// element or group the text ends inside, a closing tag that does not close
// the element open at that point, a tag, an attribute value or a comment
// that never ends, text or bytes outside the root element, no root at all.
// Nothing for a whole document. What stored configuration files may rely
// on stays allowed: no declaration, CR LF or LF line ends, tag names in any
// letter case (an end tag matches its start tag without regard to case),
// elements the program does not know, and any attributes.
std::optional<DocumentFault> document_fault(std::string_view text);

}  // namespace qv82
