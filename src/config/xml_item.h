#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qv82 {

// One element as XmlReader reads it. Attributes stay text entries of the
// form name=value in document order; lookups search those entries.
class XmlItem {
 public:
  XmlItem() = default;
  ~XmlItem();
  XmlItem(const XmlItem&) = delete;
  XmlItem& operator=(const XmlItem&) = delete;

  std::string Name;
  std::vector<std::string> Params;
  std::string Text;   // entity-decoded character data
  std::string CData;  // the last CDATA section, raw

  // The containing element; null for the root.
  XmlItem* parent() const { return parent_; }

  std::size_t child_count() const { return children_.size(); }
  // Throws std::out_of_range for a bad index.
  XmlItem& child(std::size_t index) const { return *children_.at(index); }

  // Appends an empty last child and returns it.
  XmlItem& add_child();

  // Deletes all descendants and empties name, entries, text and CData. Works
  // without recursion, so a very deeply nested document cannot overflow the
  // stack when it is released.
  void clear();

  // Replaces this item's content with other's (other is left empty); the
  // moved children get this item as their parent.
  void take_content(XmlItem& other);

 private:
  XmlItem* parent_ = nullptr;
  std::vector<std::unique_ptr<XmlItem>> children_;
};

// Attribute lookup as the parameter tree and the transfers use it: the first
// entry whose whole text contains name gives the text after its first "=";
// when no entry contains name the last entry's whole text is the answer;
// without entries the answer is empty.
std::string attribute_value(const XmlItem& item, std::string_view name);
// The same as a view into the item's entries.
std::string_view attribute_view(const XmlItem& item, std::string_view name);

}  // namespace qv82
