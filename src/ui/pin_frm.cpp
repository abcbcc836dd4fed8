#include "ui/pin_frm.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "device/coin_selector.h"
#include "lang/language.h"
#include "ui/upper_case_validator.h"

namespace qv82 {

TPinFrm::TPinFrm(CoinSelector& coin, QWidget* parent)
    : QDialog(parent),
      Label1(new QLabel(this)),
      Label2(new QLabel(this)),
      Label3(new QLabel(this)),
      Edit1(new QLineEdit(this)),
      Edit2(new QLineEdit(this)),
      Edit3(new QLineEdit(this)),
      coin_(coin) {
  auto* form = new QFormLayout;
  const std::pair<QLabel*, QLineEdit*> rows[] = {{Label1, Edit1}, {Label2, Edit2}, {Label3, Edit3}};
  for (const auto& [label, edit] : rows) {
    edit->setEchoMode(QLineEdit::Password);
    edit->setMaxLength(8);
    edit->setValidator(new UpperCaseValidator(edit));
    form->addRow(label, edit);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &TPinFrm::Button1Click);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
  init_language();
}

void TPinFrm::init_language() {
  setWindowTitle(QString::fromStdString(language_text(msg::kPin)));
  Label1->setText(QString::fromStdString(language_text(msg::kEnterPinLabel)));
  Label2->setText(QString::fromStdString(language_text(msg::kEnterNewPin)));
  Label3->setText(QString::fromStdString(language_text(msg::kConfirmNewPin)));
}

void TPinFrm::clear_fields() {
  Edit1->clear();
  Edit2->clear();
  Edit3->clear();
  Edit1->setFocus();
}

void TPinFrm::showEvent(QShowEvent* event) {
  clear_fields();
  QDialog::showEvent(event);
}

void TPinFrm::Button1Click() {
  const bool changed = coin_.change_pin(Edit1->text().toStdString(), Edit2->text().toStdString(),
                                        Edit3->text().toStdString());
  clear_fields();
  if (changed) accept();
}

}  // namespace qv82
