#pragma once

#include <QComboBox>
#include <QIcon>
#include <functional>
#include <string>

namespace qv82 {

// The function list of an I/O row: an arrow 21 pixels wide while closed;
// the list it opens is 220 pixels wide.
class FunctionList : public QComboBox {
  Q_OBJECT

 public:
  static constexpr int kClosedWidth = 21;
  static constexpr int kOpenWidth = 220;

  explicit FunctionList(QWidget* parent = nullptr);
};

// A drop-down list that tells its owner just before it opens (" Choose
// version " drops its "Custom" entry then).
class OpeningComboBox : public QComboBox {
  Q_OBJECT

 public:
  using QComboBox::QComboBox;
  std::function<void()> before_open;

  void showPopup() override;
};

// The pictures of the level and direction buttons, drawn by name: "B1I" and
// "B0I" (output active high or low), the input levels "B1", "B1P", "B1Z",
// "B03", "B04", "B0", "B0P", "B0Z", "B83", "B84", and "BUP" / "BDN".
QIcon io_image(const std::string& name);

}  // namespace qv82
