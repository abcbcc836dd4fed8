#include "ui/selector_test_window.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include "device/coin_selector.h"
#include "lang/language.h"

namespace qv82 {

namespace {

QString q(int message) { return QString::fromStdString(language_text(message)); }
QString q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

TestLed::TestLed(QColor on_colour, QWidget* parent) : QWidget(parent), on_colour_(on_colour) {
  setFixedSize(sizeHint());
}

void TestLed::set_on(bool on) {
  if (on == on_) return;
  on_ = on;
  update();
}

void TestLed::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(Qt::darkGray, 1));
  painter.setBrush(!isEnabled() ? palette().color(QPalette::Disabled, QPalette::Window)
                   : on_        ? on_colour_
                                : on_colour_.darker(400));
  painter.drawEllipse(rect().adjusted(1, 1, -1, -1));
}

DipSwitchPicture::DipSwitchPicture(QWidget* parent) : QWidget(parent) { setFixedSize(sizeHint()); }

void DipSwitchPicture::set_switches(const std::array<bool, kDipSwitches>& on) {
  if (on == on_) return;
  on_ = on;
  update();
}

void DipSwitchPicture::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), QColor(0xC0, 0x20, 0x20));
  painter.setPen(Qt::white);
  QFont font = painter.font();
  font.setPointSize(7);
  painter.setFont(font);
  painter.drawText(QRect(4, 1, 30, 11), Qt::AlignLeft, q(msg::kOn));
  for (int i = 0; i < kDipSwitches; ++i) {
    const QRect slot(6 + i * 18, 13, 12, 26);
    painter.fillRect(slot, Qt::white);
    // The lever sits up for ON, down for off.
    const QRect lever(slot.left() + 1, on_[i] ? slot.top() + 1 : slot.center().y() + 1, 10, 12);
    painter.fillRect(lever, Qt::darkGray);
    painter.drawText(QRect(slot.left(), 40, 12, 12), Qt::AlignCenter, QString::number(i + 1));
  }
}

SelectorTestWindow::SelectorTestWindow(CoinSelector& coin, QWidget* parent)
    : QDialog(parent),
      tick_timer(new QTimer(this)),
      impulse_timer(new QTimer(this)),
      coin_(coin),
      model_(coin.link, coin) {
  setModal(true);
  tick_timer->setInterval(static_cast<int>(kTestTickMs));
  impulse_timer->setInterval(static_cast<int>(kImpulseMs));
  impulse_timer->setSingleShot(true);
  connect(tick_timer, &QTimer::timeout, this, &SelectorTestWindow::on_tick);
  connect(impulse_timer, &QTimer::timeout, this, &SelectorTestWindow::on_impulse_end);

  insertion_test_box = new QCheckBox(this);
  events_list = new QListWidget(this);
  clear_button = new QPushButton(this);
  close_button = new QPushButton(this);
  connect(insertion_test_box, &QCheckBox::clicked, this, [this](bool ticked) {
    tick_timer->stop();
    model_.set_insertion_test(ticked);
    sync_timers();
  });
  connect(clear_button, &QPushButton::clicked, this, [this] { model_.clear_list(); });
  connect(close_button, &QPushButton::clicked, this, &QDialog::accept);

  // The list keeps its place while hidden: ticking "Insertion test" must not
  // move the box from under the mouse.
  QSizePolicy list_policy = events_list->sizePolicy();
  list_policy.setRetainSizeWhenHidden(true);
  events_list->setSizePolicy(list_policy);

  auto* left = new QVBoxLayout;
  left->addWidget(build_switches());
  left->addWidget(build_indicators());
  left->addWidget(build_analogue());
  auto* right = new QVBoxLayout;
  right->addWidget(build_outputs());
  right->addWidget(build_solenoids());
  right->addWidget(insertion_test_box);
  right->addWidget(events_list, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(clear_button);
  buttons->addStretch();
  buttons->addWidget(close_button);
  right->addLayout(buttons);
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left);
  layout->addLayout(right);

  model_.view_changed = [this] { render(); };
  init_language();
  render();
}

QGroupBox* SelectorTestWindow::build_switches() {
  switches_box_ = new QGroupBox(this);
  sw1_ = new DipSwitchPicture(switches_box_);
  sw2_ = new DipSwitchPicture(switches_box_);
  sw1_label_ = new QLabel(switches_box_);
  sw2_label_ = new QLabel(switches_box_);
  // A device without a second bank leaves the first where it is.
  for (QWidget* second : {static_cast<QWidget*>(sw2_), static_cast<QWidget*>(sw2_label_)}) {
    QSizePolicy policy = second->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    second->setSizePolicy(policy);
  }
  auto* grid = new QGridLayout(switches_box_);
  grid->addWidget(sw1_label_, 0, 0, Qt::AlignHCenter);
  grid->addWidget(sw2_label_, 0, 1, Qt::AlignHCenter);
  grid->addWidget(sw1_, 1, 0);
  grid->addWidget(sw2_, 1, 1);
  return switches_box_;
}

QGroupBox* SelectorTestWindow::build_indicators() {
  auto* box = new QGroupBox(this);
  auto* layout = new QHBoxLayout(box);
  inputs_box_ = new QGroupBox(box);
  auto* inputs = new QGridLayout(inputs_box_);
  for (int i = 0; i < 2; ++i) {
    inputs_[i] = new TestLed(Qt::green, inputs_box_);
    inputs->addWidget(inputs_[i], 0, i, Qt::AlignHCenter);
    inputs->addWidget(new QLabel(QString::number(i + 1), inputs_box_), 1, i, Qt::AlignHCenter);
  }
  opto_box_ = new QGroupBox(box);
  auto* optos = new QGridLayout(opto_box_);
  for (int i = 0; i < kOptoIndicators; ++i) {
    opto_[i] = new TestLed(Qt::yellow, opto_box_);
    opto_labels_[i] = new QLabel(opto_box_);
    optos->addWidget(opto_[i], 0, i, Qt::AlignHCenter);
    optos->addWidget(opto_labels_[i], 1, i, Qt::AlignHCenter);
  }
  layout->addWidget(inputs_box_);
  layout->addWidget(opto_box_);
  box->setFlat(true);
  return box;
}

QGroupBox* SelectorTestWindow::build_analogue() {
  analogue_box_ = new QGroupBox(this);
  auto* grid = new QGridLayout(analogue_box_);
  for (int i = 0; i < kAnalogueValues; ++i) {
    analogue_[i] = new QLabel(analogue_box_);
    analogue_[i]->setMinimumWidth(80);
    grid->addWidget(new QLabel(q(analogue_captions()[i]), analogue_box_), i % 4, (i / 4) * 2);
    grid->addWidget(analogue_[i], i % 4, (i / 4) * 2 + 1);
  }
  return analogue_box_;
}

QGroupBox* SelectorTestWindow::build_outputs() {
  outputs_box_ = new QGroupBox(this);
  auto* grid = new QGridLayout(outputs_box_);
  for (int k = 0; k < kTestOutputs; ++k) {
    output_buttons[k] = new QPushButton(QString::number(k + 1) + ".", outputs_box_);
    output_leds_[k] = new TestLed(Qt::red, outputs_box_);
    grid->addWidget(output_buttons[k], 0, k);
    grid->addWidget(output_leds_[k], 1, k, Qt::AlignHCenter);
    connect(output_buttons[k], &QPushButton::clicked, this,
            [this, k] { model_.toggle_output(k + 1); });
  }
  loop_button = new QPushButton(outputs_box_);
  latch_ = new QRadioButton(outputs_box_);
  impuls_ = new QRadioButton(outputs_box_);
  grid->addWidget(loop_button, 2, 0, 1, 2);
  grid->addWidget(latch_, 2, 3, 1, 2);
  grid->addWidget(impuls_, 2, 5, 1, 2);
  connect(loop_button, &QPushButton::clicked, this, [this] { model_.start_loop(); });
  connect(latch_, &QRadioButton::clicked, this, [this] { model_.choose_latch(); });
  connect(impuls_, &QRadioButton::clicked, this, [this] { model_.choose_impulse(); });
  return outputs_box_;
}

QGroupBox* SelectorTestWindow::build_solenoids() {
  solenoids_box_ = new QGroupBox(this);
  auto* grid = new QGridLayout(solenoids_box_);
  for (int s = 0; s < kTestSolenoids; ++s) {
    solenoid_buttons[s] = new QPushButton(solenoids_box_);
    solenoid_leds_[s] = new TestLed(Qt::red, solenoids_box_);
    grid->addWidget(solenoid_buttons[s], 0, s);
    grid->addWidget(solenoid_leds_[s], 1, s, Qt::AlignHCenter);
    connect(solenoid_buttons[s], &QPushButton::clicked, this,
            [this, s] { model_.pulse_solenoid(s); });
  }
  return solenoids_box_;
}

void SelectorTestWindow::init_language() {
  setWindowTitle(q(msg::kTestCoinSelector));
  switches_box_->setTitle(q(msg::kDipSwitches));
  sw1_label_->setText(q(msg::kSw1));
  sw2_label_->setText(q(msg::kSw2));
  inputs_box_->setTitle(q(msg::kInputs));
  opto_box_->setTitle(q(msg::kOptoStates));
  const int opto_messages[kOptoIndicators] = {msg::kFt1, msg::kFt2, msg::kFt3, msg::kFt4,
                                              msg::kFt5};
  for (int i = 0; i < kOptoIndicators; ++i) opto_labels_[i]->setText(q(opto_messages[i]));
  analogue_box_->setTitle(q(msg::kAnalogCircuitTest));
  outputs_box_->setTitle(q(msg::kOutputs));
  loop_button->setText(q(msg::kLoop));
  latch_->setText(q(msg::kLatch));
  impuls_->setText(q(msg::kImpuls));
  solenoids_box_->setTitle(q(msg::kSolenoids));
  solenoid_buttons[0]->setText("M");
  solenoid_buttons[1]->setText(q(msg::kS1));
  solenoid_buttons[2]->setText(q(msg::kS2));
  solenoid_buttons[3]->setText(q(msg::kS3));
  insertion_test_box->setText(q(msg::kInsertionTest));
  clear_button->setText(q(msg::kClearList));
  close_button->setText(q(msg::kClose));
}

void SelectorTestWindow::render() {
  const CheckView& view = model_.view;
  sw1_->set_switches(view.sw1);
  sw2_->set_switches(view.sw2);
  sw2_->setVisible(view.sw2_visible);
  sw2_label_->setVisible(view.sw2_visible);
  inputs_[0]->set_on(view.input1);
  inputs_[1]->set_on(view.input2);
  for (int i = 0; i < kOptoIndicators; ++i) opto_[i]->set_on(view.opto[i]);
  // The eleven-byte measurement has one PI3 value: its "PI3S2 =" row gets
  // a dash and the reason, not a blank that looks like a failed read.
  const bool measured = !view.analogue[0].empty();
  for (int i = 0; i < kAnalogueValues; ++i) {
    const bool absent = measured && view.analogue[i].empty();
    analogue_[i]->setText(absent ? QString::fromUtf8("\u2014") : q(view.analogue[i]));
    analogue_[i]->setToolTip(absent ? q(msg::kNoSuchValueInLayout) : QString());
  }
  // Lines the device does not offer stay in their places, greyed: hidden
  // they would leave holes, and the others would move between devices.
  for (int k = 0; k < kTestOutputs; ++k) {
    output_buttons[k]->setEnabled(view.output_offered[k]);
    output_leds_[k]->setEnabled(view.output_offered[k]);
    output_leds_[k]->set_on(view.output_on[k]);
  }
  latch_->setChecked(view.latch);
  impuls_->setChecked(!view.latch);
  for (int s = 0; s < kTestSolenoids; ++s) {
    solenoid_buttons[s]->setEnabled(view.solenoid_offered[s]);
    solenoid_leds_[s]->setEnabled(view.solenoid_offered[s]);
    solenoid_leds_[s]->set_on(view.solenoid_pending[s]);
  }
  insertion_test_box->setChecked(view.insertion_test);
  events_list->setVisible(view.insertion_test);
  if (events_list->count() != static_cast<int>(view.events.size())) {
    events_list->clear();
    for (const std::string& line : view.events) events_list->addItem(q(line));
  }
  events_list->setCurrentRow(view.selected_event);
}

void SelectorTestWindow::sync_timers() {
  if (model_.tick_enabled && !tick_timer->isActive()) tick_timer->start();
  if (!model_.tick_enabled) tick_timer->stop();
  if (model_.impulse_timer_enabled && !impulse_timer->isActive()) impulse_timer->start();
}

void SelectorTestWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // The device is reset once the window is up, not inside the show.
  QTimer::singleShot(0, this, [this] {
    if (!isVisible()) return;
    model_.reset_device();
    model_.on_open();
    sync_timers();
  });
}

void SelectorTestWindow::hideEvent(QHideEvent* event) {
  model_.on_close();
  tick_timer->stop();
  impulse_timer->stop();
  QDialog::hideEvent(event);
}

void SelectorTestWindow::on_tick() {
  // The tick talks to the device with events running: it must not fire
  // again inside itself.
  tick_timer->stop();
  model_.on_tick();
  sync_timers();
}

void SelectorTestWindow::on_impulse_end() {
  model_.on_impulse_end();
  sync_timers();
}

}  // namespace qv82
