#include "ui/ft_frm.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

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

TFtFrm::TFtFrm(CoinSelector& coin, const std::string& production_ini, IniFile& settings,
               const std::string& default_record, QWidget* parent)
    : QDialog(parent),
      RadioButton1(new QRadioButton(this)),
      RadioButton2(new QRadioButton(this)),
      Button2(new QPushButton(this)),
      Button1(new QPushButton(this)),
      ListBox1(new QListWidget(this)),
      Panel1(new QFrame(this)),
      Label1(new QLabel(Panel1)),
      Timer84(new QTimer(this)),
      unit_counts(new QLabel(this)),
      recent_units(new QListWidget(this)),
      record_path(new QLineEdit(this)),
      change_record(new QPushButton(this)),
      gauges(new AnalogueGaugeView(this)),
      limits_file_(production_ini),
      settings_(settings),
      record_(settings.read_string(kRecordSection, kRecordKey, default_record)),
      model_(coin.link, coin, limits_file_) {
  model_.record = &record_;
  choose_record_file = [this](const std::string& current) -> std::optional<std::string> {
    // The record is appended to, so an existing file is the usual choice.
    const QString chosen = QFileDialog::getSaveFileName(
        this, QString(), QString::fromStdString(current), "CSV files (*.csv)", nullptr,
        QFileDialog::DontConfirmOverwrite);
    if (chosen.isEmpty()) return std::nullopt;
    return chosen.toStdString();
  };
  setModal(true);
  Timer84->setInterval(static_cast<int>(kProductionTickMs));
  Panel1->setFrameShape(QFrame::Panel);
  Panel1->setFrameShadow(QFrame::Sunken);
  Panel1->setAutoFillBackground(true);
  Panel1->setMinimumSize(320, 60);
  QFont big = Label1->font();
  big.setPointSize(big.pointSize() + 4);
  big.setBold(true);
  Label1->setFont(big);
  Label1->setAlignment(Qt::AlignCenter);
  auto* panel_layout = new QVBoxLayout(Panel1);
  panel_layout->addWidget(Label1);
  RadioButton1->setChecked(true);

  auto* modes = new QHBoxLayout;
  modes->addWidget(RadioButton1);
  modes->addWidget(RadioButton2);
  modes->addStretch();
  modes->addWidget(Button2);
  modes->addWidget(Button1);
  record_path->setReadOnly(true);
  recent_units->setMaximumHeight(recent_units->fontMetrics().height() * 6);
  recent_units->setFocusPolicy(Qt::NoFocus);
  auto* record_row = new QHBoxLayout;
  record_row->addWidget(new QLabel("Record:", this));
  record_row->addWidget(record_path, 1);
  record_row->addWidget(change_record);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Panel1);
  // Room for the gauges' labels: the value and both limits of each reading.
  gauges->setMinimumWidth(480);
  auto* results = new QHBoxLayout;
  results->addWidget(ListBox1, 2);
  results->addWidget(gauges, 3);
  layout->addLayout(results, 1);
  layout->addWidget(unit_counts);
  layout->addWidget(recent_units);
  layout->addLayout(record_row);
  layout->addLayout(modes);

  connect(RadioButton1, &QRadioButton::clicked, this, &TFtFrm::RadioButton1Click);
  connect(RadioButton2, &QRadioButton::clicked, this, &TFtFrm::RadioButton1Click);
  connect(Button2, &QPushButton::clicked, this, &TFtFrm::Button2Click);
  connect(Button1, &QPushButton::clicked, this, &TFtFrm::Button1Click);
  connect(Timer84, &QTimer::timeout, this, &TFtFrm::Timer84Timer);
  connect(change_record, &QPushButton::clicked, this, &TFtFrm::change_record_file);
  model_.view_changed = [this] { render(); };
  init_language();
  render();
}

void TFtFrm::init_language() {
  setWindowTitle(q(msg::kFactoryTest));
  RadioButton1->setText(q(msg::kSingle));
  RadioButton2->setText(q(msg::kLoop));
  Button2->setText(q(msg::kStart));
  Button1->setText(q(msg::kClose));
  change_record->setText("Change...");
}

void TFtFrm::render() {
  const FtView& view = model_.view;
  QPalette palette = Panel1->palette();
  palette.setColor(QPalette::Window, view.panel == PanelColour::ButtonFace
                                         ? this->palette().color(QPalette::Button)
                                         : QColor::fromRgb(panel_rgb(view.panel)));
  Panel1->setPalette(palette);
  Label1->setText(QString::fromStdString(view.label));
  if (ListBox1->count() != static_cast<int>(view.results.size())) {
    ListBox1->clear();
    for (const std::string& line : view.results) ListBox1->addItem(QString::fromStdString(line));
  }
  ListBox1->setCurrentRow(view.selected_result);
  Button2->setEnabled(view.start_enabled && !model_.cycle_running());
  RadioButton1->setEnabled(view.mode_enabled);
  RadioButton2->setEnabled(view.mode_enabled);
  (view.loop_mode ? RadioButton2 : RadioButton1)->setChecked(true);
  change_record->setEnabled(!model_.cycle_running() && !model_.view.loop_mode);
  unit_counts->setText(QString("Passed: %1   Failed: %2").arg(model_.passed).arg(model_.failed));
  record_path->setText(QString::fromStdString(record_.path()));
  gauges->show_gauges(model_.limits ? analogue_gauges(model_.unit.readings, *model_.limits)
                                    : std::vector<AnalogueGauge>{});
}

void TFtFrm::show_recent_units() {
  recent_units->clear();
  for (const std::string& line : recent_production_units(record_.path(), kRecentUnits)) {
    recent_units->addItem(QString::fromStdString(line));
  }
  recent_units->scrollToBottom();
}

void TFtFrm::change_record_file() {
  const std::optional<std::string> chosen = choose_record_file(record_.path());
  if (!chosen || *chosen == record_.path()) return;
  record_.set_path(*chosen);
  // Remembered for the next time the window opens; a settings file that
  // cannot be written still leaves the choice in force until then.
  settings_.write_string(kRecordSection, kRecordKey, *chosen);
  show_recent_units();
  render();
}

void TFtFrm::sync_timer() {
  if (model_.timer_enabled && !closing_) {
    if (!Timer84->isActive()) Timer84->start();
  } else {
    Timer84->stop();
  }
}

void TFtFrm::showEvent(QShowEvent* event) {
  closing_ = false;
  model_.FormActivate();
  RadioButton1->setChecked(true);
  show_recent_units();
  render();
  sync_timer();
  QDialog::showEvent(event);
}

void TFtFrm::RadioButton1Click() {
  model_.RadioButton1Click(RadioButton2->isChecked());
  render();
  sync_timer();
}

void TFtFrm::Button2Click() {
  model_.Button2Click();
  show_recent_units();
  render();
  sync_timer();
}

void TFtFrm::Timer84Timer() {
  Timer84->stop();
  model_.Timer84Timer();
  show_recent_units();
  render();
  sync_timer();
}

void TFtFrm::Button1Click() {
  // A cycle in progress sees loop mode end and finishes on its own.
  closing_ = true;
  model_.Button1Click();
  sync_timer();
  accept();
}

void TFtFrm::closeEvent(QCloseEvent* event) {
  if (!closing_) {
    closing_ = true;
    model_.Button1Click();
    sync_timer();
  }
  QDialog::closeEvent(event);
}

void TFtFrm::reject() {
  if (!closing_) {
    closing_ = true;
    model_.Button1Click();
    sync_timer();
  }
  QDialog::reject();
}

}  // namespace qv82
