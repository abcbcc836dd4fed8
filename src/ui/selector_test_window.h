#pragma once

#include <QDialog>
#include <array>

#include "diagnostics/coin_selector_test.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTimer;

namespace qv82 {

class CoinSelector;

// A round indicator lamp.
class TestLed : public QWidget {
 public:
  explicit TestLed(QColor on_colour, QWidget* parent = nullptr);
  void set_on(bool on);
  bool on() const { return on_; }
  QSize sizeHint() const override { return {16, 16}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor on_colour_;
  bool on_ = false;
};

// A bank of six DIP switches drawn as a picture, "ON" above.
class DipSwitchPicture : public QWidget {
 public:
  explicit DipSwitchPicture(QWidget* parent = nullptr);
  void set_switches(const std::array<bool, kDipSwitches>& on);
  QSize sizeHint() const override { return {6 * 18 + 8, 54}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::array<bool, kDipSwitches> on_{};
};

// "Test device": the inputs, optos, DIP switches and analogue values of the
// connected coin selector, its outputs and solenoids, and the insertion
// test, on a 200 ms tick.
class SelectorTestWindow : public QDialog {
  Q_OBJECT

 public:
  explicit SelectorTestWindow(CoinSelector& coin, QWidget* parent = nullptr);

  void init_language();
  CoinSelectorTest& model() { return model_; }

  // The tick and the end of an output impulse.
  void on_tick();
  void on_impulse_end();

  QTimer* tick_timer;
  QTimer* impulse_timer;
  QCheckBox* insertion_test_box = nullptr;  // "Insertion test"
  QListWidget* events_list = nullptr;
  QPushButton* clear_button = nullptr;  // "Clear list"
  QPushButton* close_button = nullptr;  // "Close"
  std::array<QPushButton*, kTestOutputs> output_buttons{};
  QPushButton* loop_button = nullptr;
  std::array<QPushButton*, kTestSolenoids> solenoid_buttons{};

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  QGroupBox* build_switches();
  QGroupBox* build_indicators();
  QGroupBox* build_analogue();
  QGroupBox* build_outputs();
  QGroupBox* build_solenoids();
  void render();
  void sync_timers();

  CoinSelector& coin_;
  CoinSelectorTest model_;

  QGroupBox* switches_box_ = nullptr;
  DipSwitchPicture* sw1_ = nullptr;
  DipSwitchPicture* sw2_ = nullptr;
  QLabel* sw1_label_ = nullptr;
  QLabel* sw2_label_ = nullptr;
  QGroupBox* inputs_box_ = nullptr;
  std::array<TestLed*, 2> inputs_{};
  QGroupBox* opto_box_ = nullptr;
  std::array<TestLed*, kOptoIndicators> opto_{};
  std::array<QLabel*, kOptoIndicators> opto_labels_{};
  QGroupBox* analogue_box_ = nullptr;
  std::array<QLabel*, kAnalogueValues> analogue_{};
  QGroupBox* outputs_box_ = nullptr;
  std::array<TestLed*, kTestOutputs> output_leds_{};
  QRadioButton* latch_ = nullptr;
  QRadioButton* impuls_ = nullptr;
  QGroupBox* solenoids_box_ = nullptr;
  std::array<TestLed*, kTestSolenoids> solenoid_leds_{};
};

}  // namespace qv82
