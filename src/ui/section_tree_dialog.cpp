#include "ui/section_tree_dialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "config/parameter_tree.h"
#include "lang/language.h"

namespace qv82 {

namespace {

constexpr int kNodeRole = Qt::UserRole;
constexpr int kUnavailableRole = Qt::UserRole + 1;

// Draws the box (and caption) of an item without data greyed, while the
// item itself stays selectable.
class GreyedDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    if (index.data(kUnavailableRole).toBool()) option->state &= ~QStyle::State_Enabled;
  }
};

QString text_of(int number) { return QString::fromStdString(language_text(number)); }

}  // namespace

SectionTreeDialog::SectionTreeDialog(QWidget* parent)
    : QDialog(parent),
      section_tree(new QTreeWidget(this)),
      ok_button(new QPushButton(this)),
      cancel_button(new QPushButton(this)),
      changes_button(new QPushButton(this)) {
  // No close button: the dialog ends through OK or Cancel.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setModal(true);
  resize(420, 520);
  section_tree->setHeaderHidden(true);
  section_tree->setColumnCount(1);
  section_tree->setItemDelegate(new GreyedDelegate(section_tree));
  ok_button->setDefault(true);

  connect(section_tree, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int) {
    // Qt has toggled the box; the model decides what the click means.
    if (!rendering_) click_box(item->data(0, kNodeRole).toULongLong());
  });
  connect(section_tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
    if (!rendering_ && tree_ && item) tree_->select(item->data(0, kNodeRole).toULongLong());
  });
  connect(ok_button, &QPushButton::clicked, this, &SectionTreeDialog::confirm);
  connect(cancel_button, &QPushButton::clicked, this, &SectionTreeDialog::cancel);
  connect(changes_button, &QPushButton::clicked, this, [this] {
    if (show_changes && tree_) show_changes(*tree_);
  });

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(changes_button);
  buttons->addStretch();
  buttons->addWidget(ok_button);
  buttons->addWidget(cancel_button);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(section_tree, 1);
  layout->addLayout(buttons);
  init_language();
}

void SectionTreeDialog::init_language() {
  ok_button->setText(text_of(msg::kOk));
  cancel_button->setText(text_of(msg::kCancel));
  changes_button->setText(text_of(msg::kShowWhatChanges));
}

bool SectionTreeDialog::execute(const QString& caption, ParameterTree& tree) {
  setWindowTitle(caption);
  tree_ = &tree;
  changes_button->setVisible(static_cast<bool>(show_changes));
  build();
  const bool ok = exec() == QDialog::Accepted;
  tree_ = nullptr;
  rendering_ = true;
  section_tree->clear();
  items_.clear();
  rendering_ = false;
  return ok;
}

void SectionTreeDialog::build() {
  rendering_ = true;
  section_tree->clear();
  items_.clear();
  const std::size_t count = tree_->node_count();
  items_.reserve(count);
  for (std::size_t node = 0; node < count; ++node) {
    const std::size_t parent = tree_->parent(node);
    auto* item = parent == ParameterTree::kNotFound ? new QTreeWidgetItem(section_tree)
                                                    : new QTreeWidgetItem(items_.at(parent));
    item->setText(0, QString::fromStdString(tree_->caption(node)));
    item->setData(0, kNodeRole, QVariant::fromValue<qulonglong>(node));
    items_.push_back(item);
  }
  rendering_ = false;
  render();
  collapse();
  if (tree_->selected() < items_.size()) section_tree->setCurrentItem(items_[tree_->selected()]);
}

void SectionTreeDialog::render() {
  rendering_ = true;
  for (std::size_t node = 0; node < items_.size(); ++node) {
    QTreeWidgetItem* item = items_[node];
    const CheckState state = tree_->state(node);
    const bool unavailable = state == CheckState::kUnavailable;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (!unavailable) flags |= Qt::ItemIsUserCheckable;
    item->setFlags(flags);
    item->setData(0, kUnavailableRole, unavailable);
    item->setCheckState(0, state == CheckState::kChecked ? Qt::Checked : Qt::Unchecked);
  }
  rendering_ = false;
}

void SectionTreeDialog::collapse() {
  section_tree->collapseAll();
  if (!items_.empty()) section_tree->expandItem(items_.front());
}

void SectionTreeDialog::click_box(std::size_t node) {
  if (!tree_ || node >= items_.size()) return;
  tree_->click(node);
  render();
  rendering_ = true;
  section_tree->setCurrentItem(items_[node]);
  rendering_ = false;
}

void SectionTreeDialog::confirm() {
  if (tree_) tree_->accept();
  accept();
}

void SectionTreeDialog::cancel() {
  if (tree_) tree_->cancel();
  reject();
}

}  // namespace qv82
