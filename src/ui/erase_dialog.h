#pragma once

#include <QDialog>
#include <array>
#include <functional>
#include <string>

#include "stats/erasing.h"

class QCheckBox;
class QGroupBox;
class QProgressBar;
class QPushButton;

namespace qv82 {

// "Erasing": channels 1 ... 16 and statistic counters 1 ... 20 to tick, each group with "All",
// "Erase selected" and "Close", over an Erasing model. The ticks live in the model, so they
// stay between openings. exec() returns Accepted after a completed run. While a run talks to
// the device the controls are off, the dialog cannot be closed, and a bar shows how many of
// the ticked items are erased.
class EraseDialog : public QDialog {
  Q_OBJECT

 public:
  explicit EraseDialog(Erasing& model, QWidget* parent = nullptr);
  ~EraseDialog() override;

  void init_language();
  // "Erase selected".
  void erase_selected();
  // The boxes from the model.
  void render();

  std::array<QCheckBox*, kChannelCount> channel_boxes{};
  QCheckBox* all_channels_box;  // channels "All"
  std::array<QCheckBox*, kErasableCounters> statistic_boxes{};
  QCheckBox* all_statistics_box;  // statistics "All"
  QPushButton* erase_button;      // "Erase selected"
  QPushButton* close_button;      // "Close"
  QProgressBar* progress;

  // What counter 1 ... 20 counts, as the statistics page names it; "" for
  // none. Asked each time the dialog opens.
  std::function<std::string(int counter)> statistic_name;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  void render_progress();
  void show_statistic_names();

  Erasing& model_;
  QGroupBox* channels_group_;
  QGroupBox* statistics_group_;
  bool rendering_ = false;
};

}  // namespace qv82
