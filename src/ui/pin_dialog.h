#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;

namespace qv82 {

class CoinSelector;

// The PIN dialog: the current PIN, the new one and its confirmation, each
// eight hex digits in a masked field.
class PinDialog : public QDialog {
  Q_OBJECT

 public:
  explicit PinDialog(CoinSelector& coin, QWidget* parent = nullptr);

  void init_language();

  QLabel* pin_label;          // "Enter PIN :"
  QLabel* new_pin_label;      // "Enter new PIN :"
  QLabel* confirm_pin_label;  // "Confirm new PIN :"
  QLineEdit* pin_edit;
  QLineEdit* new_pin_edit;
  QLineEdit* confirm_pin_edit;

  void confirm();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void clear_fields();

  CoinSelector& coin_;
};

}  // namespace qv82
