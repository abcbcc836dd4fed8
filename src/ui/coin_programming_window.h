#pragma once

#include <QDialog>
#include <functional>

#include "channels/coin_programming.h"
#include "ui/captions.h"
#include "ui/channel_record_editor.h"

class QComboBox;
class QGroupBox;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTimer;

namespace qv82 {

class SampleChartView;

// "Coins programming": the sample list, the channel view being computed, the channel box, the
// "Tollerance:" choice and the buttons, over a CoinProgramming model. Open it with exec() after
// model.prepare() said yes; the window runs on_open when shown. Close, Escape and the title
// bar all ask the model's closing questions; the window stays open when the user cancels.
class CoinProgrammingWindow : public QDialog {
  Q_OBJECT

 public:
  explicit CoinProgrammingWindow(CoinProgramming& model, QWidget* parent = nullptr);

  void init_language();
  CoinProgramming& model() { return model_; }

  // Redraws every control from the model.
  void render();

  QListWidget* samples_list;      // samples
  SampleChartView* sample_chart;  // the samples against the band of the view
  ChannelRecordEditor* record;    // the channel view being computed
  QSpinBox* channel_box;       // channel
  QComboBox* tolerance_box;    // "Tollerance:"
  QPushButton* delete_button;  // "Delete item"
  QPushButton* clear_button;   // "Clear list"
  QPushButton* save_button;    // "Save channel"
  QPushButton* close_button;   // "Close"
  QTimer* sample_timer;

 protected:
  void showEvent(QShowEvent* event) override;
  void reject() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The chart from the samples and the parameters and tolerances the view shows.
  void redraw_chart();
  void on_sample_tick();
  // Close, Escape or the title bar: the model's closing questions, then closed unless the
  // user stayed.
  void close_by_user();
  // Runs one model operation with the view taken first and the window redrawn after. False
  // when another operation is still running (it is then skipped).
  bool run(const std::function<void()>& action);

  CoinProgramming& model_;
  bool rendering_ = false;
  Captions captions_;
  QGroupBox* channel_group_ = nullptr;
  bool in_action_ = false;
  bool close_pending_ = false;
  bool open_ = false;  // between on_open and on_close
};

}  // namespace qv82
