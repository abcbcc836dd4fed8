#pragma once

#include <QDialog>

#include "device/ui.h"

class QLineEdit;

namespace qv82 {

// The password dialog: one masked field, OK and Cancel. The caller sets the
// caption ("Enter factory password" or "Enter PIN") and the check that OK
// runs; a rejected text shows its error and keeps the dialog open.
class TPasswordDlg : public QDialog {
  Q_OBJECT

 public:
  explicit TPasswordDlg(QWidget* parent = nullptr);

  // Shows the dialog modally; the accepted text, or nothing on Cancel.
  std::optional<std::string> ask(const QString& caption, const Ui::Validator& validate);

  QLineEdit* Password;

 private:
  void OKBtnClick();

  Ui::Validator validate_;
};

}  // namespace qv82
