#include "ui/password_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "lang/language.h"
#include "ui/captions.h"
#include "ui/dialog_title.h"
#include "ui/upper_case_validator.h"

namespace qv82 {

PasswordDialog::PasswordDialog(QWidget* parent)
    : QDialog(parent),
      note_label(new QLabel(this)),
      prompt_label(new QLabel(this)),
      password_edit(new QLineEdit(this)) {
  setWindowTitle(QString::fromStdString(language_text(msg::kEnterFactoryPassword)));
  prompt_label->setText(windowTitle());
  prompt_label->setBuddy(password_edit);
  note_label->setWordWrap(true);
  note_label->hide();
  password_edit->setEchoMode(QLineEdit::Password);
  password_edit->setValidator(new UpperCaseValidator(password_edit));
  password_edit->setMinimumWidth(220);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &PasswordDialog::confirm);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(note_label);
  layout->addWidget(prompt_label);
  layout->addWidget(password_edit);
  layout->addWidget(buttons);
}

std::optional<std::string> PasswordDialog::ask(const QString& caption, const QString& note,
                                               const Ui::Validator& validate) {
  setWindowTitle(caption);
  keep_title_in_view(*this);
  name_standard_buttons(this);
  // The title bar is not always shown or read: the dialog says it too.
  prompt_label->setText(caption);
  note_label->setText(note);
  note_label->setVisible(!note.isEmpty());
  validate_ = validate;
  password_edit->clear();
  password_edit->setFocus();
  const bool accepted = exec() == QDialog::Accepted;
  validate_ = nullptr;
  std::optional<std::string> text;
  if (accepted) text = password_edit->text().toStdString();
  password_edit->clear();
  return text;
}

void PasswordDialog::confirm() {
  if (validate_) {
    if (auto error = validate_(password_edit->text().toStdString())) {
      QMessageBox::critical(this, QString::fromStdString(language_text(msg::kErrorTitle)),
                            QString::fromStdString(*error));
      password_edit->setFocus();
      return;
    }
  }
  accept();
}

}  // namespace qv82
