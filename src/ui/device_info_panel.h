#pragma once

#include <QFrame>
#include <array>

#include "device/device_state.h"

class QLabel;

namespace qv82 {

class ActivityIndicator;

// The bottom panel of the main window: what the last identification learned
// about the coin selector, and the busy picture.
class DeviceInfoPanel : public QFrame {
  Q_OBJECT

 public:
  explicit DeviceInfoPanel(QWidget* parent = nullptr);

  void show_info(const DeviceInfo& info);
  void init_language();

  // Captions and values in panel order: product code, serial number, build
  // code, software revision, production date, last modification date.
  std::array<QLabel*, 6> captions{};
  std::array<QLabel*, 6> values{};
  ActivityIndicator* busy_indicator;

 private:
  DeviceInfo shown_;
};

}  // namespace qv82
