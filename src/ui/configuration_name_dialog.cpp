#include "ui/configuration_name_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "device/dialogs.h"
#include "lang/language.h"
#include "ui/captions.h"
#include "ui/dialog_title.h"

namespace qv82 {

ConfigurationNameDialog::ConfigurationNameDialog(Ui& ui, NameList used_names, QWidget* parent)
    : QDialog(parent),
      name_label(new QLabel(this)),
      name_edit(new QLineEdit(this)),
      ui_(ui),
      used_names_(std::move(used_names)) {
  name_edit->setMinimumWidth(220);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &ConfigurationNameDialog::confirm);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* row = new QHBoxLayout;
  row->addWidget(name_label);
  row->addWidget(name_edit, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row);
  layout->addWidget(buttons);
  init_language();
}

void ConfigurationNameDialog::init_language() {
  name_standard_buttons(this);
  setWindowTitle(QString::fromStdString(language_text(msg::kNewConfiguration)));
  name_label->setText(QString::fromStdString(language_text(msg::kName)) + ":");
  keep_title_in_view(*this);
}

std::string ConfigurationNameDialog::name() const { return name_edit->text().toStdString(); }

void ConfigurationNameDialog::showEvent(QShowEvent* event) {
  name_edit->clear();
  name_edit->setFocus();
  QDialog::showEvent(event);
}

void ConfigurationNameDialog::confirm() {
  if (check) {
    if (check(name())) accept();
    return;
  }
  const std::vector<std::string> used = used_names_ ? used_names_() : std::vector<std::string>{};
  if (accept_configuration_name(ui_, name(), used)) accept();
}

}  // namespace qv82
