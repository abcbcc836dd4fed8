#pragma once

#include <QDialog>
#include <functional>
#include <vector>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace qv82 {

class ParameterTree;

// The parameter tree dialog: the items of the configuration image with
// their check marks (ticked, empty, greyed for items without data), in
// which the user chooses the sections of a transfer. The marks are the
// model's; a click on a box goes to the model and the tree is drawn again.
class SectionTreeDialog : public QDialog {
  Q_OBJECT

 public:
  explicit SectionTreeDialog(QWidget* parent = nullptr);

  // Shows the tree modally under the caption, collapsed to the root and the
  // top groups. OK drops the unchecked sections from the image; true on OK.
  bool execute(const QString& caption, ParameterTree& tree);

  void init_language();

  QTreeWidget* section_tree;
  QPushButton* ok_button;      // "OK"
  QPushButton* cancel_button;  // "Cancel"
  // "Show what changes", shown while show_changes is set.
  QPushButton* changes_button;
  std::function<void(const ParameterTree&)> show_changes;

  // Item of node n while the dialog shows a tree.
  QTreeWidgetItem* item_of(std::size_t node) const { return items_.at(node); }
  // A click on node n's check box, as the mouse gives it.
  void click_box(std::size_t node);

  void confirm();
  void cancel();

 private:
  void build();
  void render();
  void collapse();

  ParameterTree* tree_ = nullptr;
  std::vector<QTreeWidgetItem*> items_;
  bool rendering_ = false;
};

}  // namespace qv82
