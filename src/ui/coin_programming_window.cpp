#include "ui/coin_programming_window.h"

#include <QComboBox>
#include <QFontDatabase>
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

#include "channels/sample_chart.h"
#include "lang/language.h"
#include "link/errors.h"
#include "ui/sample_chart_view.h"
#include "ui/scope_exit.h"

namespace qv82 {

namespace {

// Background of a sample line with a value outside the band.
const QColor kOutsideLine(255, 214, 214);

QString q(int message) { return QString::fromStdString(language_text(message)); }

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

  // Made last: Tab leaves the sample list for the channel box and the buttons first.
  record = new ChannelRecordEditor(kCoinProgrammingStyle, this);
  connect(record, &ChannelRecordEditor::edited, this, &CoinProgrammingWindow::redraw_chart);

  auto* layout = new QVBoxLayout(this);
  auto* samples = new QHBoxLayout;
  samples->addWidget(samples_list);
  samples->addWidget(sample_chart, 1);
  layout->addLayout(samples, 1);
  layout->addWidget(record);
  layout->addLayout(controls);

  init_language();
  render();
}

void CoinProgrammingWindow::init_language() {
  setWindowTitle(q(msg::kCoinsProgramming));
  delete_button->setText(q(msg::kDeleteItem));
  clear_button->setText(q(msg::kClearList));
  save_button->setText(q(msg::kSaveChannel));
  close_button->setText(q(msg::kClose));
  captions_.apply();
  channel_group_->setTitle(q(msg::kChannel).trimmed());
  record->init_language();
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

void CoinProgrammingWindow::render() {
  rendering_ = true;
  record->show_view(model_.view);

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
  const ChannelView shown = record->view();
  const SampleChart chart = qv82::sample_chart(model_.samples, shown.parameters, shown.tolerances);
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
    model_.view = record->view();
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
    model_.view = record->view();
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
