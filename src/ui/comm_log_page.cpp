#include "ui/comm_log_page.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "lang/language.h"
#include "link/errors.h"
#include "ui/comm_log_model.h"
#include "ui/upper_case_validator.h"

namespace qv82 {

namespace {

QString text_of(int number) { return QString::fromStdString(language_text(number)); }

}  // namespace

CommLogPage::CommLogPage(CommLog& log, Ui& ui, SendCommand send_command, QWidget* parent)
    : QWidget(parent),
      ListBox2(new QTreeView(this)),
      model(new CommLogModel(log, this)),
      Button10(new QPushButton(tr("Save to file"), this)),
      save_explained_button(new QPushButton(tr("Save with explanations"), this)),
      explanations_box(new QCheckBox(tr("Explanations"), this)),
      Button1(new QPushButton(this)),
      CheckBox162(new QCheckBox(this)),
      Edit1(new QLineEdit(this)),
      Button2(new QPushButton(this)),
      log_(log),
      ui_(ui),
      send_command_(std::move(send_command)) {
  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  ListBox2->setModel(model);
  ListBox2->setFont(fixed);
  ListBox2->setRootIsDecorated(false);
  ListBox2->setItemsExpandable(false);
  ListBox2->setUniformRowHeights(true);
  ListBox2->setAllColumnsShowFocus(true);
  ListBox2->setSelectionMode(QAbstractItemView::SingleSelection);
  // Room for a request and its short replies; longer lines show in full as
  // a tool tip or when the explanations are hidden.
  ListBox2->header()->resizeSection(CommLogModel::kLineColumn,
                                    QFontMetrics(fixed).horizontalAdvance(QString(44, 'F')));
  explanations_box->setChecked(true);
  ListBox2->setEditTriggers(QAbstractItemView::NoEditTriggers);
  connect(model, &CommLogModel::lineAdded, this, [this] {
    const QModelIndex last = model->index(model->rowCount() - 1);
    ListBox2->setCurrentIndex(last);
    ListBox2->scrollTo(last);
  });

  Edit1->setFont(fixed);
  Edit1->setValidator(new UpperCaseValidator(Edit1));

  connect(Button10, &QPushButton::clicked, this, &CommLogPage::Button10Click);
  connect(save_explained_button, &QPushButton::clicked, this, &CommLogPage::save_with_explanations);
  connect(explanations_box, &QCheckBox::toggled, this, &CommLogPage::show_explanations);
  connect(Button1, &QPushButton::clicked, this, &CommLogPage::Button1Click);
  connect(CheckBox162, &QCheckBox::clicked, this, &CommLogPage::CheckBox162Click);
  connect(Button2, &QPushButton::clicked, this, &CommLogPage::Button2Click);
  connect(Edit1, &QLineEdit::returnPressed, this, &CommLogPage::Button2Click);

  log_.on_file_error = [this](const std::string& error) {
    CheckBox162->setChecked(false);
    ui_.error(error);
  };

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(Button10);
  buttons->addWidget(save_explained_button);
  buttons->addWidget(Button1);
  buttons->addWidget(CheckBox162);
  buttons->addWidget(explanations_box);
  buttons->addStretch();
  auto* terminal = new QHBoxLayout;
  terminal->addWidget(Edit1, 1);
  terminal->addWidget(Button2);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(ListBox2, 1);
  layout->addLayout(buttons);
  layout->addLayout(terminal);
  init_language();
}

void CommLogPage::init_language() {
  Button1->setText(text_of(msg::kClearLog));
  Button2->setText(text_of(msg::kSendCommand));
  CheckBox162->setText(text_of(msg::kLogToFile));
}

void CommLogPage::Button10Click() { save(false); }

void CommLogPage::save_with_explanations() { save(true); }

void CommLogPage::save(bool explained) {
  const auto name = ui_.save_file("Text files|*.txt");
  if (!name) return;
  std::string error;
  if (!log_.save_to_file(*name, error, explained)) ui_.error(error);
}

void CommLogPage::show_explanations(bool shown) {
  ListBox2->setColumnHidden(CommLogModel::kExplanationColumn, !shown);
}

void CommLogPage::Button1Click() {
  if (ui_.question(language_text(msg::kPressOkToClearLog), Buttons::OkCancel) == Answer::Ok) {
    log_.clear();
  }
}

void CommLogPage::CheckBox162Click() {
  if (auto error = log_.set_log_to_file(CheckBox162->isChecked())) {
    CheckBox162->setChecked(false);
    ui_.error(*error);
  }
}

void CommLogPage::Button2Click() {
  const std::string text = Edit1->text().toStdString();
  try {
    if (send_command_) send_command_(text);
  } catch (const ConversionError& e) {
    // Nothing was sent; the text stays for correcting.
    ui_.error(e.what());
    return;
  }
  Edit1->clear();
}

}  // namespace qv82
