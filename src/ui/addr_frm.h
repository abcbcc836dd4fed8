#pragma once

#include <QDialog>

class QLabel;
class QSpinBox;

namespace qv82 {

class CoinSelector;

// The address dialog: shows the current ccTalk address and sends the new
// one (2 ... 254) to the device on OK.
class TAddrFrm : public QDialog {
  Q_OBJECT

 public:
  explicit TAddrFrm(CoinSelector& coin, QWidget* parent = nullptr);

  void init_language();

  QLabel* Label1;  // "Current address :"
  QLabel* Label3;  // the current address
  QLabel* Label2;  // "New address :"
  QSpinBox* SpinEdit1;

  void Button1Click();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  CoinSelector& coin_;
};

}  // namespace qv82
