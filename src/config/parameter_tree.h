#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "config/xml_reader.h"

namespace qv82 {

// Check mark of a tree node.
enum class CheckState : int {
  kUnchecked = 1,    // not part of the transfer
  kChecked = 2,      // part of the transfer
  kUnavailable = 3,  // no data; a click does not change it
};

// The configuration image between operations and the model of the section
// choice dialog: one node per item of the loaded XML document, in document
// order (node 0 is the root), each with a caption and a check mark. The
// dialog renders it; expanding and collapsing are the view's business.
class ParameterTree {
 public:
  static constexpr std::size_t kNotFound = 60000;

  ParameterTree();
  ParameterTree(const ParameterTree&) = delete;
  ParameterTree& operator=(const ParameterTree&) = delete;

  // Loads a document and sets the marks from its data: a node whose item has
  // text is checked with its parent and grandparent, every other node is
  // unavailable, the root is checked. Throws XmlError; on failure the tree
  // keeps its previous content.
  void load_file(const std::string& path);
  void load_string(std::string_view text);

  std::size_t node_count() const { return nodes_.size(); }
  // The root's caption is the program's own ("All data"): it follows the
  // language chosen since the template was read.
  std::string caption(std::size_t node) const;
  CheckState state(std::size_t node) const { return at(node).state; }
  void set_state(std::size_t node, CheckState state) { at(node).state = state; }
  const std::string& text(std::size_t node) const { return at(node).item->Text; }
  void set_text(std::size_t node, std::string text) { at(node).item->Text = std::move(text); }
  const XmlItem& item(std::size_t node) const { return *at(node).item; }
  // An attribute of the node's item, looked up as attribute_value does.
  std::string attribute(std::size_t node, std::string_view name) const;

  // kNotFound for the root.
  std::size_t parent(std::size_t node) const;
  std::vector<std::size_t> children(std::size_t node) const;
  // One past the node's last descendant.
  std::size_t subtree_end(std::size_t node) const { return at(node).end; }

  // First node whose address or caption attribute equals text exactly, or
  // kNotFound.
  std::size_t find_by_address(std::string_view text) const;
  std::size_t find_by_caption(std::string_view text) const;

  // A click on a node's check box; the node also becomes the selected one.
  void click(std::size_t node);
  // OK of the dialog: nodes that are not checked lose their text and become
  // unavailable, so unchecked sections leave the configuration image.
  void accept();
  // Cancel of the dialog: texts and marks stay as they are.
  void cancel() {}
  // Takes other's document with its marks (a file loaded and chosen in a
  // tree of its own); other is left empty.
  void take(ParameterTree& other);
  // Offers every section (before an upload): all nodes checked.
  void check_all();
  // False when only the root could be chosen, i.e. nothing has been loaded.
  bool has_choosable_nodes() const;

  std::size_t selected() const { return selected_; }
  void select(std::size_t node);

  // Rebuilds the nodes from the reader's items; the selected node is kept
  // when its item is still there, otherwise node 0 is selected. Marks
  // start unchecked.
  void rebuild();

 private:
  struct Node {
    XmlItem* item;
    std::size_t parent;
    std::size_t end;
    std::string caption;
    CheckState state;
  };

  Node& at(std::size_t node) { return nodes_.at(node); }
  const Node& at(std::size_t node) const { return nodes_.at(node); }
  std::size_t find_by(std::string_view name, std::string_view text) const;
  void mark_from_data();
  void set_branch(std::size_t node, CheckState state);

  XmlReader reader_;
  std::vector<Node> nodes_;
  std::size_t selected_ = 0;
  const XmlItem* selected_item_ = nullptr;
};

}  // namespace qv82
