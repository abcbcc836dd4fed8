#pragma once

#include <QDialog>

#include "device/ui.h"

class QLabel;
class QLineEdit;

namespace qv82 {

// The password dialog: one masked field, OK and Cancel. The caller sets the
// caption ("Enter factory password" or "Enter PIN"), shown as the title and
// above the field, a note on why it asks (or none) and the check that OK
// runs; a rejected text shows its error and keeps the dialog open.
class PasswordDialog : public QDialog {
  Q_OBJECT

 public:
  explicit PasswordDialog(QWidget* parent = nullptr);

  // Shows the dialog modally; the accepted text, or nothing on Cancel.
  std::optional<std::string> ask(const QString& caption, const QString& note,
                                 const Ui::Validator& validate);

  QLabel* note_label;
  QLabel* prompt_label;
  QLineEdit* password_edit;

 private:
  void confirm();

  Ui::Validator validate_;
};

}  // namespace qv82
