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
class FirmwareWindow : public QDialog {
  Q_OBJECT

 public:
  explicit FirmwareWindow(CoinSelector& coin, QWidget* parent = nullptr);

  void init_language();
  FirmwareDownload& model() { return model_; }

  QPushButton* open_button;   // "Open file"
  QPushButton* start_button;  // "Start"
  QPushButton* close_button;  // "Close"
  QLabel* file_name_label;
  QLabel* status_text_label;
  QProgressBar* progress;

  void open_file();
  void start();
  void close_window();

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
