#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;

namespace qv82 {

class CoinSelector;

// The PIN dialog: the current PIN, the new one and its confirmation, each
// eight hex digits in a masked field.
class TPinFrm : public QDialog {
  Q_OBJECT

 public:
  explicit TPinFrm(CoinSelector& coin, QWidget* parent = nullptr);

  void init_language();

  QLabel* Label1;  // "Enter PIN :"
  QLabel* Label2;  // "Enter new PIN :"
  QLabel* Label3;  // "Confirm new PIN :"
  QLineEdit* Edit1;
  QLineEdit* Edit2;
  QLineEdit* Edit3;

  void Button1Click();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void clear_fields();

  CoinSelector& coin_;
};

}  // namespace qv82
