#include "ui/pin_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "device/coin_selector.h"
#include "lang/language.h"
#include "ui/captions.h"
#include "ui/dialog_title.h"
#include "ui/upper_case_validator.h"

namespace qv82 {

PinDialog::PinDialog(CoinSelector& coin, QWidget* parent)
    : QDialog(parent),
      pin_label(new QLabel(this)),
      new_pin_label(new QLabel(this)),
      confirm_pin_label(new QLabel(this)),
      pin_edit(new QLineEdit(this)),
      new_pin_edit(new QLineEdit(this)),
      confirm_pin_edit(new QLineEdit(this)),
      coin_(coin) {
  auto* form = new QFormLayout;
  const std::pair<QLabel*, QLineEdit*> rows[] = {
      {pin_label, pin_edit}, {new_pin_label, new_pin_edit}, {confirm_pin_label, confirm_pin_edit}};
  for (const auto& [label, edit] : rows) {
    edit->setEchoMode(QLineEdit::Password);
    edit->setMaxLength(8);
    edit->setValidator(new UpperCaseValidator(edit));
    form->addRow(label, edit);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &PinDialog::confirm);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
  init_language();
}

void PinDialog::init_language() {
  name_standard_buttons(this);
  setWindowTitle(QString::fromStdString(language_text(msg::kPin)));
  keep_title_in_view(*this);
  pin_label->setText(QString::fromStdString(language_text(msg::kEnterPinLabel)));
  new_pin_label->setText(QString::fromStdString(language_text(msg::kEnterNewPin)));
  confirm_pin_label->setText(QString::fromStdString(language_text(msg::kConfirmNewPin)));
}

void PinDialog::clear_fields() {
  pin_edit->clear();
  new_pin_edit->clear();
  confirm_pin_edit->clear();
  pin_edit->setFocus();
}

void PinDialog::showEvent(QShowEvent* event) {
  clear_fields();
  QDialog::showEvent(event);
}

void PinDialog::confirm() {
  const bool changed =
      coin_.change_pin(pin_edit->text().toStdString(), new_pin_edit->text().toStdString(),
                       confirm_pin_edit->text().toStdString());
  clear_fields();
  if (changed) accept();
}

}  // namespace qv82
