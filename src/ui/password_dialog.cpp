#include "ui/password_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "lang/language.h"
#include "ui/upper_case_validator.h"

namespace qv82 {

PasswordDialog::PasswordDialog(QWidget* parent)
    : QDialog(parent),
      note_label(new QLabel(this)),
      prompt_label(new QLabel(this)),
      Password(new QLineEdit(this)) {
  setWindowTitle(QString::fromStdString(language_text(msg::kEnterFactoryPassword)));
  prompt_label->setText(windowTitle());
  prompt_label->setBuddy(Password);
  note_label->setWordWrap(true);
  note_label->hide();
  Password->setEchoMode(QLineEdit::Password);
  Password->setValidator(new UpperCaseValidator(Password));
  Password->setMinimumWidth(220);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &PasswordDialog::confirm);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(note_label);
  layout->addWidget(prompt_label);
  layout->addWidget(Password);
  layout->addWidget(buttons);
}

std::optional<std::string> PasswordDialog::ask(const QString& caption, const QString& note,
                                               const Ui::Validator& validate) {
  setWindowTitle(caption);
  // The title bar is not always shown or read: the dialog says it too.
  prompt_label->setText(caption);
  note_label->setText(note);
  note_label->setVisible(!note.isEmpty());
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

void PasswordDialog::confirm() {
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
