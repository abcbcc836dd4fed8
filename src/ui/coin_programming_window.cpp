#include "ui/coin_programming_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

#include "channels/channel_lists.h"
#include "channels/country_list.h"
#include "channels/sample_chart.h"
#include "lang/language.h"
#include "link/errors.h"
#include "ui/sample_chart_view.h"
#include "ui/scope_exit.h"
#include "ui/typed_limit_spin_box.h"

namespace qv82 {

namespace {

// Background of a sample line with a value outside the band.
const QColor kOutsideLine(255, 214, 214);

QString q(int message) { return QString::fromStdString(language_text(message)); }

QSpinBox* byte_edit(QWidget* parent) {
  auto* edit = new QSpinBox(parent);
  edit->setRange(0, 255);
  edit->setButtonSymbols(QAbstractSpinBox::NoButtons);
  edit->setAlignment(Qt::AlignRight);
  return edit;
}

void fill(QComboBox* combo, std::span<const std::string_view> items) {
  for (std::string_view item : items) combo->addItem(QString::fromUtf8(item.data(), item.size()));
}

}  // namespace

CoinProgrammingWindow::CoinProgrammingWindow(CoinProgramming& model, QWidget* parent)
    : QDialog(parent), sample_timer(new QTimer(this)), model_(model) {
  setModal(true);
  sample_timer->setInterval(static_cast<int>(kCoinProgrammingTickMs));
  sample_timer->setSingleShot(true);
  connect(sample_timer, &QTimer::timeout, this, &CoinProgrammingWindow::on_sample_tick);
  model_.tick_changed = [this](bool running) {
    if (running) {
      sample_timer->start();
    } else {
      sample_timer->stop();
    }
  };

  samples_list = new QListWidget(this);
  samples_list->setObjectName("samples_list");
  samples_list->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  samples_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  samples_list->setMinimumHeight(160);
  // A whole sample line in view, beside the chart.
  samples_list->setMinimumWidth(
      QFontMetrics(samples_list->font()).horizontalAdvance(QString(53, '0')) +
      samples_list->verticalScrollBar()->sizeHint().width() + 8);
  connect(samples_list, &QListWidget::itemSelectionChanged, this, [this] {
    if (rendering_) return;
    model_.selected_lines.clear();
    for (int i = 0; i < samples_list->count(); ++i) {
      if (samples_list->item(i)->isSelected())
        model_.selected_lines.insert(static_cast<std::size_t>(i));
    }
  });

  samples_list->installEventFilter(this);
  sample_chart = new SampleChartView(this);

  channel_box = new QSpinBox(this);
  channel_box->setObjectName("channel_box");
  channel_box->setRange(1, kChannelCount);
  connect(channel_box, &QSpinBox::valueChanged, this, [this](int m) {
    if (!rendering_) run([this, m] { model_.choose_channel(m); });
  });

  tolerance_box = new QComboBox(this);
  tolerance_box->setObjectName("tolerance_box");
  connect(tolerance_box, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (rendering_ || index < 0) return;
    run([this, index] { model_.set_tolerance(static_cast<ToleranceLevel>(index)); });
  });

  delete_button = new QPushButton(this);
  clear_button = new QPushButton(this);
  save_button = new QPushButton(this);
  close_button = new QPushButton(this);
  connect(delete_button, &QPushButton::clicked, this,
          [this] { run([this] { model_.delete_samples(); }); });
  connect(clear_button, &QPushButton::clicked, this,
          [this] { run([this] { model_.clear_samples(); }); });
  connect(save_button, &QPushButton::clicked, this,
          [this] { run([this] { model_.save_channel(); }); });
  connect(close_button, &QPushButton::clicked, this, &CoinProgrammingWindow::close_by_user);

  channel_group_ = new QGroupBox(this);
  auto* channel_layout = new QHBoxLayout(channel_group_);
  channel_layout->addWidget(channel_box);

  auto* tolerance_label = captions_.add(new QLabel(this), msg::kTollerance);
  auto* controls = new QHBoxLayout;
  controls->addWidget(channel_group_);
  controls->addWidget(tolerance_label);
  controls->addWidget(tolerance_box);
  controls->addStretch();
  for (QPushButton* b : {delete_button, clear_button, save_button, close_button})
    controls->addWidget(b);

  auto* layout = new QVBoxLayout(this);
  auto* samples = new QHBoxLayout;
  samples->addWidget(samples_list);
  samples->addWidget(sample_chart, 1);
  layout->addLayout(samples, 1);
  layout->addWidget(build_view());
  layout->addLayout(controls);

  init_language();
  render();
}

QWidget* CoinProgrammingWindow::build_view() {
  auto* box = captions_.add(new QGroupBox(this), msg::kParameterTollerance);
  auto* grid = new QGridLayout(box);
  for (int k = 0; k < kChannelParameterCount; ++k) {
    grid->addWidget(new QLabel(QString::number(k + 1) + ".", box), 0, k, Qt::AlignCenter);
    parameter_edits[k] = byte_edit(box);
    tolerance_edits[k] = byte_edit(box);
    grid->addWidget(parameter_edits[k], 1, k);
    grid->addWidget(tolerance_edits[k], 2, k);
    for (QSpinBox* edit : {parameter_edits[k], tolerance_edits[k]}) {
      connect(edit, &QSpinBox::valueChanged, this, [this] {
        if (!rendering_) redraw_chart();
      });
    }
  }

  cctalk_box = new QCheckBox("ccTalk", box);  // the protocol's name in every language
  sel_box = captions_.add(new QCheckBox(box), msg::kSelShort);
  fake_box = captions_.add(new QCheckBox(box), msg::kFakeShort);
  enabled_box = captions_.add(new QCheckBox(box), msg::kEnabledShort);
  auto* status = captions_.add(new QGroupBox(box), msg::kStatus);
  auto* status_layout = new QHBoxLayout(status);
  for (QCheckBox* c : {cctalk_box, sel_box, fake_box, enabled_box}) status_layout->addWidget(c);

  direction_box = new QComboBox(box);
  cvf_box = new QComboBox(box);
  mint_box = new QComboBox(box);
  country_box = new QComboBox(box);
  fill(direction_box, direction_list());
  fill(cvf_box, cvf_list(CvfListKind::kCoinProgramming));
  fill(mint_box, mint_list());
  fill(country_box, country_list());
  // Three digits typed on this screen, but a stored value above 255 is shown and kept.
  value_box = new TypedLimitSpinBox(65535, 255, box);
  value_box->setButtonSymbols(QAbstractSpinBox::NoButtons);
  value_box->setAlignment(Qt::AlignRight);
  auto* options = new QGroupBox(box);
  auto* options_layout = new QHBoxLayout(options);
  const std::pair<int, QWidget*> fields[] = {{msg::kDirShort, direction_box},
                                             {-1, cvf_box},
                                             {msg::kMintShort, mint_box},
                                             {msg::kCc, country_box}};
  for (const auto& [caption, widget] : fields) {
    // CVF is a name, the same in every language.
    options_layout->addWidget(caption < 0 ? new QLabel("CVF", options)
                                          : captions_.add(new QLabel(options), caption));
    options_layout->addWidget(widget);
  }
  options_layout->addWidget(captions_.add(new QLabel(options), msg::kVal));
  options_layout->addWidget(value_box);

  grid->addWidget(status, 3, 0, 1, 5);
  grid->addWidget(options, 3, 5, 1, kChannelParameterCount - 5);
  return box;
}

void CoinProgrammingWindow::init_language() {
  setWindowTitle(q(msg::kCoinsProgramming));
  delete_button->setText(q(msg::kDeleteItem));
  clear_button->setText(q(msg::kClearList));
  save_button->setText(q(msg::kSaveChannel));
  close_button->setText(q(msg::kClose));
  captions_.apply();
  channel_group_->setTitle(q(msg::kChannel).trimmed());
  country_box->setItemText(kCountryNotProgrammed, ".. - " + q(msg::kNotProgrammedLower));
  cctalk_box->setToolTip(q(msg::kCcTalkEnabledTip));
  sel_box->setToolTip(q(msg::kSelectiveInhibitTip));
  fake_box->setToolTip(q(msg::kFakeCoinTip));
  enabled_box->setToolTip(q(msg::kChannelEnabledTip));
  sample_chart->init_language();
  rendering_ = true;
  const int current = tolerance_box->currentIndex();
  tolerance_box->clear();
  for (ToleranceLevel level :
       {ToleranceLevel::kHigh, ToleranceLevel::kMiddle, ToleranceLevel::kLow}) {
    tolerance_box->addItem(QString::fromStdString(tolerance_name(level)));
  }
  tolerance_box->setCurrentIndex(current >= 0 ? current : static_cast<int>(model_.tolerance));
  rendering_ = false;
}

void CoinProgrammingWindow::take_view() {
  ChannelView& v = model_.view;
  for (int k = 0; k < kChannelParameterCount; ++k) {
    v.parameters[k] = parameter_edits[k]->value();
    v.tolerances[k] = tolerance_edits[k]->value();
  }
  v.cctalk = cctalk_box->isChecked();
  v.selective = sel_box->isChecked();
  v.fake = fake_box->isChecked();
  v.enabled = enabled_box->isChecked();
  v.direction = direction_box->currentIndex();
  v.cvf = cvf_box->currentIndex();
  v.mint = mint_box->currentIndex();
  v.country = country_box->currentIndex();
  v.value = value_box->value();
}

void CoinProgrammingWindow::render() {
  rendering_ = true;
  const ChannelView& v = model_.view;
  for (int k = 0; k < kChannelParameterCount; ++k) {
    parameter_edits[k]->setValue(v.parameters[k]);
    tolerance_edits[k]->setValue(v.tolerances[k]);
  }
  cctalk_box->setChecked(v.cctalk);
  sel_box->setChecked(v.selective);
  fake_box->setChecked(v.fake);
  enabled_box->setChecked(v.enabled);
  direction_box->setCurrentIndex(v.direction);
  cvf_box->setCurrentIndex(v.cvf);
  mint_box->setCurrentIndex(v.mint);
  country_box->setCurrentIndex(v.country);
  value_box->setValue(v.value);

  const std::vector<std::string> lines = model_.lines();
  samples_list->clear();
  const QColor colour = model_.enough_samples() ? Qt::darkGreen : Qt::red;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    auto* item = new QListWidgetItem(QString::fromStdString(lines[i]), samples_list);
    item->setForeground(colour);
    item->setSelected(model_.selected_lines.count(i) > 0);
  }
  if (!lines.empty()) samples_list->scrollToBottom();
  channel_box->setValue(model_.channel_number);
  tolerance_box->setCurrentIndex(static_cast<int>(model_.tolerance));
  rendering_ = false;
  redraw_chart();
}

void CoinProgrammingWindow::redraw_chart() {
  std::array<int, kChannelParameterCount> means{};
  std::array<int, kChannelParameterCount> tolerances{};
  for (int k = 0; k < kChannelParameterCount; ++k) {
    means[k] = parameter_edits[k]->value();
    tolerances[k] = tolerance_edits[k]->value();
  }
  const SampleChart chart = qv82::sample_chart(model_.samples, means, tolerances);
  sample_chart->show_chart(chart);
  // The line of a sample the device would reject stands out as its point does, so the user
  // can find the wrong coin in the list and delete it.
  std::vector<bool> outside(static_cast<std::size_t>(samples_list->count()), false);
  for (const SampleChartPoint& point : chart.points) {
    if (point.outside && point.sample < outside.size()) outside[point.sample] = true;
  }
  for (int i = 0; i < samples_list->count(); ++i) {
    samples_list->item(i)->setBackground(outside[static_cast<std::size_t>(i)] ? kOutsideLine
                                                                              : QBrush());
  }
}

bool CoinProgrammingWindow::run(const std::function<void()>& action) {
  // Device talk waits with events running; a click meanwhile must not start a second exchange.
  if (in_action_) {
    render();
    return false;
  }
  {
    in_action_ = true;
    const ScopeExit finished([this] { in_action_ = false; });
    take_view();
    try {
      action();
    } catch (const ConversionError& e) {
      QMessageBox::critical(this, QString(), QString::fromStdString(e.what()));
    }
  }
  render();
  if (close_pending_) close_by_user();
  return true;
}

void CoinProgrammingWindow::on_sample_tick() {
  if (!model_.tick_running() || in_action_) return;
  // Most ticks find no new coin; redrawing then would only disturb typing in the view.
  const std::size_t before = model_.samples.size();
  {
    in_action_ = true;
    const ScopeExit finished([this] { in_action_ = false; });
    take_view();
    try {
      model_.on_sample_tick();
    } catch (const ConversionError& e) {
      QMessageBox::critical(this, QString(), QString::fromStdString(e.what()));
    }
  }
  if (model_.samples.size() != before) render();
  if (close_pending_) close_by_user();
}

void CoinProgrammingWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (open_) return;
  open_ = true;
  QTimer::singleShot(0, this, [this] { run([this] { model_.on_open(); }); });
}

void CoinProgrammingWindow::close_by_user() {
  if (!open_) {
    QDialog::reject();
    return;
  }
  if (in_action_) {
    close_pending_ = true;  // asked once the exchange in progress is over
    return;
  }
  close_pending_ = false;
  bool closes = false;
  run([&] { closes = model_.request_close(); });
  if (!closes) return;
  open_ = false;  // on_close has run
  sample_timer->stop();
  QDialog::accept();
}

bool CoinProgrammingWindow::eventFilter(QObject* watched, QEvent* event) {
  // A plainly wrong coin leaves the list with the Delete key as with "Delete item".
  if (watched == samples_list && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
    delete_button->click();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

// Escape and the title bar's close button (which Qt turns into reject) ask what Close asks:
// a saved coin is stored or knowingly dropped, unsaved samples are not lost unasked.
void CoinProgrammingWindow::reject() { close_by_user(); }

}  // namespace qv82
