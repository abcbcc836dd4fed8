#pragma once

#include <QDialog>

#include "firmware/firmware_download.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace qv82 {

class CoinSelector;

// "Firmware upgrade": choose an image, switch the device into its monitor
// and send the image. Closes by itself after a complete download or when
// the monitor cannot be started.
class TDwnlFrm : public QDialog {
  Q_OBJECT

 public:
  explicit TDwnlFrm(CoinSelector& coin, QWidget* parent = nullptr);

  void init_language();
  FirmwareDownload& model() { return model_; }

  QPushButton* Button2;  // "Open file"
  QPushButton* Button3;  // "Start"
  QPushButton* Button1;  // "Close"
  QLabel* FileLabel;
  QLabel* StatusLabel;
  QProgressBar* ProgressBar1;

  void Button2Click();
  void Button3Click();
  void Button1Click();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  void render();
  void set_buttons_enabled(bool enabled);

  CoinSelector& coin_;
  FirmwareDownload model_;
  bool running_ = false;
};

}  // namespace qv82
