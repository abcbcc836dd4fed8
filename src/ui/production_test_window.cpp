#include "ui/production_test_window.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>

#include "device/coin_selector.h"
#include "diagnostics/analogue_gauges.h"
#include "diagnostics/production_report.h"
#include "lang/language.h"
#include "ui/analogue_gauge_view.h"

namespace qv82 {

namespace {

QString q(int message) { return QString::fromStdString(language_text(message)); }

constexpr const char* kRecordSection = "SETTINGS";
constexpr const char* kRecordKey = "ProductionRecord";
constexpr std::size_t kRecentUnits = 5;

}  // namespace

ProductionTestWindow::ProductionTestWindow(CoinSelector& coin, const std::string& production_ini,
                                           IniFile& settings, const std::string& default_record,
                                           QWidget* parent)
    : QDialog(parent),
      single_choice(new QRadioButton(this)),
      loop_choice(new QRadioButton(this)),
      start_button(new QPushButton(this)),
      close_button(new QPushButton(this)),
      messages_list(new QListWidget(this)),
      status_panel(new QFrame(this)),
      status_label(new QLabel(status_panel)),
      loop_timer(new QTimer(this)),
      unit_counts(new QLabel(this)),
      recent_units(new QListWidget(this)),
      record_path(new QLineEdit(this)),
      change_record(new QPushButton(this)),
      gauges(new AnalogueGaugeView(this)),
      status_group(new QGroupBox(this)),
      messages_group(new QGroupBox(this)),
      gauges_group(new QGroupBox(this)),
      units_group(new QGroupBox(this)),
      limits_file_(production_ini),
      settings_(settings),
      record_(settings.read_string(kRecordSection, kRecordKey, default_record)),
      model_(coin.link, coin, limits_file_),
      record_caption_(new QLabel(this)) {
  model_.record = &record_;
  choose_record_file = [this](const std::string& current) -> std::optional<std::string> {
    // The record is appended to, so an existing file is the usual choice.
    const QString chosen = QFileDialog::getSaveFileName(
        this, QString(), QString::fromStdString(current), q(msg::kCsvFilesFilter), nullptr,
        QFileDialog::DontConfirmOverwrite);
    if (chosen.isEmpty()) return std::nullopt;
    return chosen.toStdString();
  };
  setModal(true);
  loop_timer->setInterval(static_cast<int>(kProductionTickMs));
  status_panel->setFrameShape(QFrame::Panel);
  status_panel->setFrameShadow(QFrame::Sunken);
  status_panel->setAutoFillBackground(true);
  status_panel->setMinimumSize(320, 60);
  QFont big = status_label->font();
  big.setPointSize(big.pointSize() + 4);
  big.setBold(true);
  status_label->setFont(big);
  status_label->setAlignment(Qt::AlignCenter);
  auto* panel_layout = new QVBoxLayout(status_panel);
  panel_layout->addWidget(status_label);
  single_choice->setChecked(true);

  auto* modes = new QHBoxLayout;
  modes->addWidget(single_choice);
  modes->addWidget(loop_choice);
  modes->addStretch();
  modes->addWidget(start_button);
  modes->addWidget(close_button);
  record_path->setReadOnly(true);
  recent_units->setMaximumHeight(recent_units->fontMetrics().height() * 6);
  recent_units->setFocusPolicy(Qt::NoFocus);
  auto* record_row = new QHBoxLayout;
  record_row->addWidget(record_caption_);
  record_row->addWidget(record_path, 1);
  record_row->addWidget(change_record);

  // Each area says what it will show, before the first test fills it.
  const auto framed = [this](QGroupBox* group, QWidget* content) {
    auto* inside = new QVBoxLayout(group);
    inside->addWidget(content);
    return group;
  };
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(framed(status_group, status_panel));
  // Room for the gauges' labels: the value and both limits of each reading.
  gauges->setMinimumWidth(480);
  auto* results = new QHBoxLayout;
  results->addWidget(framed(messages_group, messages_list), 2);
  results->addWidget(framed(gauges_group, gauges), 3);
  layout->addLayout(results, 1);
  auto* units = new QVBoxLayout(units_group);
  units->addWidget(unit_counts);
  units->addWidget(recent_units);
  layout->addWidget(units_group);
  layout->addLayout(record_row);
  layout->addLayout(modes);

  connect(single_choice, &QRadioButton::clicked, this, &ProductionTestWindow::on_mode_clicked);
  connect(loop_choice, &QRadioButton::clicked, this, &ProductionTestWindow::on_mode_clicked);
  connect(start_button, &QPushButton::clicked, this, &ProductionTestWindow::start_single);
  connect(close_button, &QPushButton::clicked, this, &ProductionTestWindow::close_window);
  connect(loop_timer, &QTimer::timeout, this, &ProductionTestWindow::on_loop_tick);
  connect(change_record, &QPushButton::clicked, this, &ProductionTestWindow::change_record_file);
  model_.view_changed = [this] { render(); };
  init_language();
  render();
}

void ProductionTestWindow::init_language() {
  setWindowTitle(q(msg::kFactoryTest));
  single_choice->setText(q(msg::kSingle));
  loop_choice->setText(q(msg::kLoop));
  start_button->setText(q(msg::kStart));
  close_button->setText(q(msg::kClose));
  change_record->setText(q(msg::kChangeRecordFile));
  record_caption_->setText(q(msg::kRecordFile));
  status_group->setTitle(q(msg::kStatus));
  messages_group->setTitle(q(msg::kTestMessages));
  gauges_group->setTitle(q(msg::kAnalogueReadings));
  units_group->setTitle(q(msg::kUnitsSinceOpened));
  gauges->init_language();
  render();
}

void ProductionTestWindow::render() {
  const FtView& view = model_.view;
  QPalette palette = status_panel->palette();
  palette.setColor(QPalette::Window, view.panel == PanelColour::ButtonFace
                                         ? this->palette().color(QPalette::Button)
                                         : QColor::fromRgb(panel_rgb(view.panel)));
  status_panel->setPalette(palette);
  status_label->setText(QString::fromStdString(view.label));
  if (messages_list->count() != static_cast<int>(view.results.size())) {
    messages_list->clear();
    for (const std::string& line : view.results)
      messages_list->addItem(QString::fromStdString(line));
  }
  messages_list->setCurrentRow(view.selected_result);
  start_button->setEnabled(view.start_enabled && !model_.cycle_running());
  single_choice->setEnabled(view.mode_enabled);
  loop_choice->setEnabled(view.mode_enabled);
  (view.loop_mode ? loop_choice : single_choice)->setChecked(true);
  change_record->setEnabled(!model_.cycle_running() && !model_.view.loop_mode);
  unit_counts->setText(q(msg::kPassedCount) + QString::number(model_.passed) + "   " +
                       q(msg::kFailedCount) + QString::number(model_.failed));
  // The list follows the counts as soon as a unit is recorded, not when a
  // loop cycle ends with the unit taken away.
  if (model_.passed + model_.failed != units_shown_) show_recent_units();
  // Named in full: the working folder may be the per-user one, out of sight.
  record_path->setText(QString::fromStdString(
      std::filesystem::absolute(record_.path()).lexically_normal().string()));
  gauges->show_gauges(model_.limits ? analogue_gauges(model_.unit.readings, *model_.limits)
                                    : std::vector<AnalogueGauge>{});
}

void ProductionTestWindow::show_recent_units() {
  units_shown_ = model_.passed + model_.failed;
  recent_units->clear();
  // The units since the window opened, as the counts above them.
  const std::size_t count = std::min(kRecentUnits, static_cast<std::size_t>(units_shown_));
  if (count > 0) {
    for (const std::string& line : recent_production_units(record_.path(), count)) {
      recent_units->addItem(QString::fromStdString(line));
    }
  }
  recent_units->scrollToBottom();
}

void ProductionTestWindow::change_record_file() {
  const std::optional<std::string> chosen = choose_record_file(record_.path());
  if (!chosen || *chosen == record_.path()) return;
  record_.set_path(*chosen);
  // Remembered for the next time the window opens; a settings file that
  // cannot be written still leaves the choice in force until then.
  settings_.write_string(kRecordSection, kRecordKey, *chosen);
  show_recent_units();
  render();
}

void ProductionTestWindow::sync_timer() {
  if (model_.timer_enabled && !closing_) {
    if (!loop_timer->isActive()) loop_timer->start();
  } else {
    loop_timer->stop();
  }
}

void ProductionTestWindow::showEvent(QShowEvent* event) {
  closing_ = false;
  model_.on_open();
  single_choice->setChecked(true);
  messages_list->clear();
  show_recent_units();
  render();
  sync_timer();
  QDialog::showEvent(event);
}

void ProductionTestWindow::on_mode_clicked() {
  model_.choose_mode(loop_choice->isChecked());
  render();
  sync_timer();
}

void ProductionTestWindow::start_single() {
  model_.start_single();
  render();
  sync_timer();
}

void ProductionTestWindow::on_loop_tick() {
  loop_timer->stop();
  model_.on_loop_tick();
  render();
  sync_timer();
}

void ProductionTestWindow::close_window() {
  // A cycle in progress sees loop mode end and finishes on its own.
  closing_ = true;
  model_.on_close();
  sync_timer();
  accept();
}

void ProductionTestWindow::closeEvent(QCloseEvent* event) {
  if (!closing_) {
    closing_ = true;
    model_.on_close();
    sync_timer();
  }
  QDialog::closeEvent(event);
}

void ProductionTestWindow::reject() {
  if (!closing_) {
    closing_ = true;
    model_.on_close();
    sync_timer();
  }
  QDialog::reject();
}

}  // namespace qv82
