#include "ui/pars_frm.h"

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

TParsFrm::TParsFrm(QWidget* parent)
    : QDialog(parent),
      TreeView1(new QTreeWidget(this)),
      Button1(new QPushButton(this)),
      Button2(new QPushButton(this)) {
  // No close button: the dialog ends through OK or Cancel.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setModal(true);
  resize(420, 520);
  TreeView1->setHeaderHidden(true);
  TreeView1->setColumnCount(1);
  TreeView1->setItemDelegate(new GreyedDelegate(TreeView1));
  Button1->setDefault(true);

  connect(TreeView1, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int) {
    // Qt has toggled the box; the model decides what the click means.
    if (!rendering_) click_box(item->data(0, kNodeRole).toULongLong());
  });
  connect(TreeView1, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
    if (!rendering_ && tree_ && item) tree_->select(item->data(0, kNodeRole).toULongLong());
  });
  connect(Button1, &QPushButton::clicked, this, &TParsFrm::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &TParsFrm::Button2Click);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(Button1);
  buttons->addWidget(Button2);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(TreeView1, 1);
  layout->addLayout(buttons);
  init_language();
}

void TParsFrm::init_language() {
  Button1->setText(text_of(msg::kOk));
  Button2->setText(text_of(msg::kCancel));
}

bool TParsFrm::execute(const QString& caption, ParameterTree& tree) {
  setWindowTitle(caption);
  tree_ = &tree;
  build();
  const bool ok = exec() == QDialog::Accepted;
  tree_ = nullptr;
  rendering_ = true;
  TreeView1->clear();
  items_.clear();
  rendering_ = false;
  return ok;
}

void TParsFrm::build() {
  rendering_ = true;
  TreeView1->clear();
  items_.clear();
  const std::size_t count = tree_->node_count();
  items_.reserve(count);
  for (std::size_t node = 0; node < count; ++node) {
    const std::size_t parent = tree_->parent(node);
    auto* item = parent == ParameterTree::kNotFound ? new QTreeWidgetItem(TreeView1)
                                                    : new QTreeWidgetItem(items_.at(parent));
    item->setText(0, QString::fromStdString(tree_->caption(node)));
    item->setData(0, kNodeRole, QVariant::fromValue<qulonglong>(node));
    items_.push_back(item);
  }
  rendering_ = false;
  render();
  collapse();
  if (tree_->selected() < items_.size()) TreeView1->setCurrentItem(items_[tree_->selected()]);
}

void TParsFrm::render() {
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

void TParsFrm::collapse() {
  TreeView1->collapseAll();
  if (!items_.empty()) TreeView1->expandItem(items_.front());
}

void TParsFrm::click_box(std::size_t node) {
  if (!tree_ || node >= items_.size()) return;
  tree_->click(node);
  render();
  rendering_ = true;
  TreeView1->setCurrentItem(items_[node]);
  rendering_ = false;
}

void TParsFrm::Button1Click() {
  if (tree_) tree_->accept();
  accept();
}

void TParsFrm::Button2Click() {
  if (tree_) tree_->cancel();
  reject();
}

}  // namespace qv82
