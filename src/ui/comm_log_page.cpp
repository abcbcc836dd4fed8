#include "ui/comm_log_page.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <filesystem>

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
      log_view(new QTreeView(this)),
      model(new CommLogModel(log, this)),
      save_log_button(new QPushButton(this)),
      save_explained_button(new QPushButton(this)),
      explanations_box(new QCheckBox(this)),
      clear_log_button(new QPushButton(this)),
      log_to_file_box(new QCheckBox(this)),
      log_file_label(new QLabel(this)),
      command_edit(new QLineEdit(this)),
      send_command_button(new QPushButton(this)),
      log_(log),
      ui_(ui),
      send_command_(std::move(send_command)) {
  const QFont fixed = log_font();
  log_view->setModel(model);
  log_view->setFont(fixed);
  log_view->setRootIsDecorated(false);
  log_view->setItemsExpandable(false);
  log_view->setUniformRowHeights(true);
  log_view->setAllColumnsShowFocus(true);
  log_view->setSelectionMode(QAbstractItemView::SingleSelection);
  // Room for a request and its short replies; longer lines show in full as
  // a tool tip or when the explanations are hidden.
  log_view->header()->resizeSection(CommLogModel::kLineColumn,
                                    QFontMetrics(fixed).horizontalAdvance(QString(44, 'F')));
  explanations_box->setChecked(true);
  // Started from a menu, the working folder is the per-user one, out of
  // sight: the file is named in full.
  log_file_label->setText(QString::fromStdString(
      std::filesystem::absolute(log_.log_file_path()).lexically_normal().string()));
  log_file_label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  log_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  connect(model, &CommLogModel::lineAdded, this, [this] {
    const QModelIndex last = model->index(model->rowCount() - 1);
    log_view->setCurrentIndex(last);
    log_view->scrollTo(last);
  });

  command_edit->setFont(fixed);
  command_edit->setValidator(new UpperCaseValidator(command_edit));

  connect(save_log_button, &QPushButton::clicked, this, &CommLogPage::save_log);
  connect(save_explained_button, &QPushButton::clicked, this, &CommLogPage::save_with_explanations);
  connect(explanations_box, &QCheckBox::toggled, this, &CommLogPage::show_explanations);
  connect(clear_log_button, &QPushButton::clicked, this, &CommLogPage::clear_log);
  connect(log_to_file_box, &QCheckBox::clicked, this, &CommLogPage::set_log_to_file);
  connect(send_command_button, &QPushButton::clicked, this, &CommLogPage::send_typed_command);
  connect(command_edit, &QLineEdit::returnPressed, this, &CommLogPage::send_typed_command);

  log_.on_file_error = [this](const std::string& error) {
    log_to_file_box->setChecked(false);
    ui_.error(error);
  };

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(save_log_button);
  buttons->addWidget(save_explained_button);
  buttons->addWidget(clear_log_button);
  buttons->addWidget(log_to_file_box);
  buttons->addWidget(log_file_label);
  buttons->addWidget(explanations_box);
  buttons->addStretch();
  auto* terminal = new QHBoxLayout;
  terminal->addWidget(command_edit, 1);
  terminal->addWidget(send_command_button);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(log_view, 1);
  layout->addLayout(buttons);
  layout->addLayout(terminal);
  init_language();
}

void CommLogPage::init_language() {
  clear_log_button->setText(text_of(msg::kClearLog));
  send_command_button->setText(text_of(msg::kSendCommand));
  log_to_file_box->setText(text_of(msg::kLogToFile));
  save_log_button->setText(text_of(msg::kSaveToFile));
  save_explained_button->setText(text_of(msg::kSaveWithExplanations));
  explanations_box->setText(text_of(msg::kExplanations));
  // The explanations and the column headings follow.
  log_.explain_again();
  model->explanations_changed();
}

void CommLogPage::save_log() { save(false); }

void CommLogPage::save_with_explanations() { save(true); }

void CommLogPage::save(bool explained) {
  const auto name = ui_.save_file(language_text(msg::kTextFilesFilter));
  if (!name) return;
  std::string error;
  if (!log_.save_to_file(*name, error, explained)) ui_.error(error);
}

void CommLogPage::show_explanations(bool shown) {
  log_view->setColumnHidden(CommLogModel::kExplanationColumn, !shown);
}

void CommLogPage::clear_log() {
  if (ui_.question(language_text(msg::kPressOkToClearLog), Buttons::OkCancel) == Answer::Ok) {
    log_.clear();
  }
}

void CommLogPage::set_log_to_file() {
  if (auto error = log_.set_log_to_file(log_to_file_box->isChecked())) {
    log_to_file_box->setChecked(false);
    ui_.error(*error);
  }
}

void CommLogPage::send_typed_command() {
  const std::string text = command_edit->text().toStdString();
  try {
    if (send_command_) send_command_(text);
  } catch (const ConversionError& e) {
    // Nothing was sent; the text stays for correcting.
    ui_.error(e.what());
    return;
  }
  command_edit->clear();
}

}  // namespace qv82
