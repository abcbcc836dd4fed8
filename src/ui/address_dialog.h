#pragma once

#include <QDialog>

class QLabel;
class QSpinBox;

namespace qv82 {

class CoinSelector;

// The address dialog: shows the current ccTalk address and sends the new
// one (2 ... 254) to the device on OK.
class AddressDialog : public QDialog {
  Q_OBJECT

 public:
  explicit AddressDialog(CoinSelector& coin, QWidget* parent = nullptr);

  void init_language();

  QLabel* current_caption;  // "Current address :"
  QLabel* current_address;  // the current address
  QLabel* new_caption;      // "New address :"
  QSpinBox* new_address_box;

  void confirm();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  CoinSelector& coin_;
};

}  // namespace qv82
