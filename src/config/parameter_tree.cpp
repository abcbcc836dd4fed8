#include "config/parameter_tree.h"

#include <utility>

#include "lang/language.h"

namespace qv82 {

namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

std::string caption_of(const XmlItem& item) {
  if (item.Name == "MachineData" && item.Params.empty()) return language_text(msg::kAllData);
  return attribute_value(item, "caption");
}

}  // namespace

ParameterTree::ParameterTree() {
  reader_.on_loaded = [this] {
    // A load replaces every item except the root, so a remembered item other
    // than the root no longer exists.
    if (selected_item_ != &reader_.root()) selected_item_ = nullptr;
    rebuild();
  };
  rebuild();
}

void ParameterTree::load_file(const std::string& path) {
  reader_.load_file(path);
  mark_from_data();
}

void ParameterTree::load_string(std::string_view text) {
  reader_.load_text(text);
  mark_from_data();
}

void ParameterTree::rebuild() {
  const XmlItem* keep = selected_item_;
  nodes_.clear();

  // Depth first, in document order, without recursion: documents may nest
  // arbitrarily deep.
  struct Frame {
    XmlItem* item;
    std::size_t node;
    std::size_t next_child;
  };
  XmlItem& root = reader_.root();
  nodes_.push_back(Node{&root, kNone, 0, caption_of(root), CheckState::kUnchecked});
  std::vector<Frame> stack{{&root, 0, 0}};
  while (!stack.empty()) {
    Frame& frame = stack.back();
    if (frame.next_child < frame.item->child_count()) {
      XmlItem& child = frame.item->child(frame.next_child++);
      const std::size_t index = nodes_.size();
      nodes_.push_back(Node{&child, frame.node, 0, caption_of(child), CheckState::kUnchecked});
      stack.push_back(Frame{&child, index, 0});
    } else {
      nodes_[frame.node].end = nodes_.size();
      stack.pop_back();
    }
  }

  selected_ = 0;
  for (std::size_t i = 0; i < nodes_.size(); ++i) {
    if (nodes_[i].item == keep) {
      selected_ = i;
      break;
    }
  }
  selected_item_ = nodes_[selected_].item;
}

void ParameterTree::mark_from_data() {
  for (Node& node : nodes_) node.state = CheckState::kUnavailable;
  for (std::size_t i = 0; i < nodes_.size(); ++i) {
    if (nodes_[i].item->Text.empty()) continue;
    std::size_t n = i;
    for (int level = 0; level < 3 && n != kNone; ++level, n = nodes_[n].parent)
      nodes_[n].state = CheckState::kChecked;
  }
  nodes_[0].state = CheckState::kChecked;
}

std::string ParameterTree::attribute(std::size_t node, std::string_view name) const {
  return attribute_value(*at(node).item, name);
}

std::size_t ParameterTree::parent(std::size_t node) const {
  const std::size_t p = at(node).parent;
  return p == kNone ? kNotFound : p;
}

std::vector<std::size_t> ParameterTree::children(std::size_t node) const {
  std::vector<std::size_t> result;
  for (std::size_t c = node + 1; c < at(node).end; c = nodes_[c].end) result.push_back(c);
  return result;
}

std::size_t ParameterTree::find_by(std::string_view name, std::string_view text) const {
  for (std::size_t i = 0; i < nodes_.size(); ++i) {
    if (attribute_view(*nodes_[i].item, name) == text) return i;
  }
  return kNotFound;
}

std::size_t ParameterTree::find_by_address(std::string_view text) const {
  return find_by("address", text);
}

std::string ParameterTree::caption(std::size_t node) const {
  const Node& entry = at(node);
  return node == 0 ? caption_of(*entry.item) : entry.caption;
}

std::size_t ParameterTree::find_by_caption(std::string_view text) const {
  return find_by("caption", text);
}

void ParameterTree::click(std::size_t node) {
  select(node);
  CheckState to;
  switch (nodes_[node].state) {
    case CheckState::kUnchecked:
      to = CheckState::kChecked;
      break;
    case CheckState::kChecked:
      to = CheckState::kUnchecked;
      break;
    default:
      return;
  }
  nodes_[node].state = to;
  // Descendants follow, and each one that follows takes its parent along:
  // a group without data of its own comes back with its items.
  for (std::size_t d = node + 1; d < nodes_[node].end; ++d) {
    Node& desc = nodes_[d];
    if (desc.item->Text.empty() && desc.state == CheckState::kUnavailable) continue;
    desc.state = to;
    nodes_[desc.parent].state = to;
  }
}

void ParameterTree::accept() {
  for (Node& node : nodes_) {
    if (node.state == CheckState::kChecked) continue;
    node.item->Text.clear();
    node.state = CheckState::kUnavailable;
  }
}

void ParameterTree::take(ParameterTree& other) {
  if (&other == this) return;
  std::vector<CheckState> states;
  for (const Node& node : other.nodes_) states.push_back(node.state);
  selected_item_ = nullptr;
  reader_.root().take_content(other.reader_.root());
  rebuild();
  for (std::size_t i = 0; i < nodes_.size() && i < states.size(); ++i) nodes_[i].state = states[i];
  other.selected_item_ = nullptr;
  other.rebuild();
}

void ParameterTree::check_all() {
  for (Node& node : nodes_) node.state = CheckState::kChecked;
}

bool ParameterTree::has_choosable_nodes() const {
  for (std::size_t i = 1; i < nodes_.size(); ++i) {
    if (nodes_[i].state != CheckState::kUnavailable) return true;
  }
  return false;
}

void ParameterTree::select(std::size_t node) {
  selected_item_ = at(node).item;
  selected_ = node;
}

}  // namespace qv82
