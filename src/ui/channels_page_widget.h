#pragma once

#include <QWidget>

#include "ui/channel_record_editor.h"

class QGroupBox;
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
  ChannelRecordEditor* record;   // the shown channel

  // The channel number box was changed to m.
  void change_channel(int m);

 private:
  void edited();

  ChannelsPage& model_;
  WorkingImages& images_;
  bool rendering_ = false;
};

}  // namespace qv82
