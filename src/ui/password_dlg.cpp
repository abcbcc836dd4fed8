#include "ui/password_dlg.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "lang/language.h"
#include "ui/upper_case_validator.h"

namespace qv82 {

TPasswordDlg::TPasswordDlg(QWidget* parent) : QDialog(parent), Password(new QLineEdit(this)) {
  setWindowTitle(QString::fromStdString(language_text(msg::kEnterFactoryPassword)));
  Password->setEchoMode(QLineEdit::Password);
  Password->setValidator(new UpperCaseValidator(Password));
  Password->setMinimumWidth(220);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &TPasswordDlg::OKBtnClick);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Password);
  layout->addWidget(buttons);
}

std::optional<std::string> TPasswordDlg::ask(const QString& caption,
                                             const Ui::Validator& validate) {
  setWindowTitle(caption);
  validate_ = validate;
  Password->clear();
  Password->setFocus();
  const bool accepted = exec() == QDialog::Accepted;
  validate_ = nullptr;
  std::optional<std::string> text;
  if (accepted) text = Password->text().toStdString();
  Password->clear();
  return text;
}

void TPasswordDlg::OKBtnClick() {
  if (validate_) {
    if (auto error = validate_(Password->text().toStdString())) {
      QMessageBox::critical(this, tr("Error"), QString::fromStdString(*error));
      Password->setFocus();
      return;
    }
  }
  accept();
}

}  // namespace qv82
