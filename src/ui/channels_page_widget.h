#pragma once

#include <QWidget>
#include <array>

#include "channels/channel_record.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QSpinBox;

namespace qv82 {

class ChannelsPage;
struct WorkingImages;

// The "Channels" page of the main window: one coin channel of
// channel_buffer at a time, drawn from the ChannelsPage model. Every edit
// goes into the model's view and marks the page modified; a change of the
// channel number goes to the model, which takes and shows records.
class ChannelsPageWidget : public QWidget {
  Q_OBJECT

 public:
  ChannelsPageWidget(ChannelsPage& model, WorkingImages& images, QWidget* parent = nullptr);

  // Draws the model again (after a load, an upload or coin programming).
  void refresh();
  void init_language();

  QGroupBox* channel_group;      // "Channel"
  QSpinBox* channel_number_box;  // channel number 1 ... 16
  QGroupBox* parameters_group;   // "Parameter / tollerance"
  std::array<QSpinBox*, kChannelParameterCount> parameters;
  std::array<QSpinBox*, kChannelParameterCount> tolerances;
  QGroupBox* status_group;  // "Status"
  QLabel* status_captions[2];
  QCheckBox* cctalk_box;
  QCheckBox* sel_box;
  QCheckBox* fake_box;
  QCheckBox* enabled_box;
  QGroupBox* options_group;  // "Options"
  QComboBox* direction_box;
  QComboBox* cvf_box;
  QComboBox* mint_box;
  QComboBox* country_box;
  QSpinBox* value_box;

  // The channel number box was changed to m.
  void change_channel(int m);

 private:
  void edited();

  ChannelsPage& model_;
  WorkingImages& images_;
  QLabel* option_captions_[5];
  bool rendering_ = false;
};

}  // namespace qv82
