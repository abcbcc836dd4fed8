#pragma once

#include <QWidget>
#include <array>
#include <utility>

#include "channels/channel_lists.h"
#include "channels/channel_record.h"
#include "ui/captions.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QSpinBox;

namespace qv82 {

// What the two screens that edit a channel record do differently.
struct ChannelRecordStyle {
  CvfListKind cvf_list;
  // The largest "Val." the keyboard takes; a larger stored value is still shown and kept.
  int typed_value_limit;
  // One "Parameter / tollerance" frame holding everything, captions beside their fields and
  // on the check boxes; otherwise status and options sit in frames of their own under it,
  // captions above.
  bool compact;
};

inline constexpr ChannelRecordStyle kChannelsPageStyle{CvfListKind::kChannelsPage, 65535, false};
inline constexpr ChannelRecordStyle kCoinProgrammingStyle{CvfListKind::kCoinProgramming, 255,
                                                          true};

// The controls of one channel record: its 13 parameters and tolerances, the status check
// boxes and the options. show_view draws a view, view() reads the controls back; edited is
// emitted for what the user changes, not for what show_view draws.
class ChannelRecordEditor : public QWidget {
  Q_OBJECT

 public:
  explicit ChannelRecordEditor(const ChannelRecordStyle& style, QWidget* parent = nullptr);

  void init_language();
  void show_view(const ChannelView& view);
  ChannelView view() const;

  std::array<QSpinBox*, kChannelParameterCount> parameters{};
  std::array<QSpinBox*, kChannelParameterCount> tolerances{};
  QCheckBox* cctalk_box;
  QCheckBox* sel_box;
  QCheckBox* fake_box;
  QCheckBox* enabled_box;
  QComboBox* direction_box;
  QComboBox* cvf_box;
  QComboBox* mint_box;
  QComboBox* country_box;
  QSpinBox* value_box;

 signals:
  void edited();

 private:
  // Dir., CVF, Mint, CC and Val., each with the message of its caption.
  std::array<std::pair<int, QWidget*>, 5> option_fields() const;
  QLabel* option_caption(int caption, QWidget* parent);
  void lay_out_apart(QWidget* parameters_frame);
  void lay_out_compact(QWidget* parameters_frame, QGridLayout* grid);

  Captions captions_;
  QLabel* status_caption_ = nullptr;  // over the first pair of check boxes, apart only
  bool showing_ = false;
};

}  // namespace qv82
