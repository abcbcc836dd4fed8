#include "config/xml_item.h"

#include <utility>

namespace qv82 {

XmlItem::~XmlItem() { clear(); }

XmlItem& XmlItem::add_child() {
  children_.push_back(std::make_unique<XmlItem>());
  children_.back()->parent_ = this;
  return *children_.back();
}

void XmlItem::clear() {
  // Detach every descendant into a work list before it dies, so that each
  // destructor runs on an item that has no children left.
  std::vector<std::unique_ptr<XmlItem>> pending = std::move(children_);
  children_.clear();
  while (!pending.empty()) {
    std::unique_ptr<XmlItem> item = std::move(pending.back());
    pending.pop_back();
    for (auto& grandchild : item->children_) pending.push_back(std::move(grandchild));
    item->children_.clear();
  }
  Name.clear();
  Params.clear();
  Text.clear();
  CData.clear();
}

void XmlItem::take_content(XmlItem& other) {
  if (&other == this) return;
  clear();
  Name = std::move(other.Name);
  Params = std::move(other.Params);
  Text = std::move(other.Text);
  CData = std::move(other.CData);
  children_ = std::move(other.children_);
  for (auto& child : children_) child->parent_ = this;
  other.clear();
}

std::string_view attribute_view(const XmlItem& item, std::string_view name) {
  if (item.Params.empty()) return {};
  for (const std::string& entry : item.Params) {
    if (entry.find(name) == std::string::npos) continue;
    const std::size_t equals = entry.find('=');
    return equals == std::string::npos ? std::string_view()
                                       : std::string_view(entry).substr(equals + 1);
  }
  return item.Params.back();
}

std::string attribute_value(const XmlItem& item, std::string_view name) {
  return std::string(attribute_view(item, name));
}

}  // namespace qv82
