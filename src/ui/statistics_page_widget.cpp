#include "ui/statistics_page_widget.h"

#include <QComboBox>
#include <QDate>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "lang/language.h"
#include "link/errors.h"
#include "stats/statistic_bars.h"
#include "ui/scope_exit.h"
#include "ui/statistics_chart.h"

namespace qv82 {

namespace {

QString q(int message) { return QString::fromStdString(language_text(message)); }

constexpr int kRowsPerColumn = 10;

}  // namespace

StatisticsPageWidget::StatisticsPageWidget(StatisticsPage& model, QWidget* parent)
    : QWidget(parent), model_(model) {
  setObjectName("StatisticsPage");
  model_.short_date = [] {
    return QLocale().toString(QDate::currentDate(), QLocale::ShortFormat).toStdString();
  };
  model_.changed = [this] { render(); };

  auto* grid = new QGridLayout;
  for (int column = 0; column < 2; ++column) {
    headings_[2 * column] = new QLabel(this);
    headings_[2 * column + 1] = new QLabel(this);
    grid->addWidget(headings_[2 * column], 0, 3 * column + 1);
    grid->addWidget(headings_[2 * column + 1], 0, 3 * column + 2);
  }
  for (int i = 0; i < kStatisticRows; ++i) {
    const int row = 1 + i % kRowsPerColumn;
    const int column = 3 * (i / kRowsPerColumn);
    settings[i] = new QComboBox(this);
    settings[i]->setMinimumContentsLength(18);
    values[i] = new QLineEdit(this);
    values[i]->setReadOnly(true);
    // Read from the device, never typed: the box must not look editable.
    QPalette look = values[i]->palette();
    look.setColor(QPalette::Base, look.color(QPalette::Window));
    values[i]->setPalette(look);
    values[i]->setAlignment(Qt::AlignRight);
    grid->addWidget(new QLabel(QString::number(i + 1) + ".", this), row, column);
    grid->addWidget(settings[i], row, column + 1);
    grid->addWidget(values[i], row, column + 2);
    connect(settings[i], &QComboBox::currentIndexChanged, this, [this, i](int index) {
      if (!rendering_) model_.select_option(i + 1, index);
    });
  }

  export_button = new QPushButton(this);
  read_button = new QPushButton(this);
  write_button = new QPushButton(this);
  erase_all_button = new QPushButton(this);
  connect(export_button, &QPushButton::clicked, this,
          [this] { run([this] { model_.export_xls(); }); });
  connect(read_button, &QPushButton::clicked, this, [this] { run([this] { model_.read(); }); });
  connect(write_button, &QPushButton::clicked, this, [this] { run([this] { model_.write(); }); });
  connect(erase_all_button, &QPushButton::clicked, this,
          [this] { run([this] { model_.erase_all(); }); });
  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {export_button, read_button, write_button, erase_all_button})
    buttons->addWidget(b);
  buttons->addStretch();

  // The rows on the left, the chart of their counters beside them at the page's full height.
  auto* table = new QVBoxLayout;
  table->addLayout(grid);
  table->addLayout(buttons);
  table->addStretch();
  chart = new StatisticsChart(this);
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(table, 3);
  layout->addWidget(chart, 2);

  init_language();
  reload_option_names();
}

void StatisticsPageWidget::init_language() {
  for (int column = 0; column < 2; ++column) {
    headings_[2 * column]->setText(q(msg::kSetting));
    headings_[2 * column + 1]->setText(q(msg::kValue));
  }
  export_button->setText(q(msg::kExportToXls));
  read_button->setText(q(msg::kRead));
  write_button->setText(q(msg::kWrite));
  erase_all_button->setText(q(msg::kEraseAllButton));
}

void StatisticsPageWidget::reload_option_names() {
  rendering_ = true;
  for (QComboBox* combo : settings) {
    combo->clear();
    for (const std::string& name : model_.option_names) {
      combo->addItem(QString::fromStdString(name));
    }
  }
  rendering_ = false;
  render();
}

void StatisticsPageWidget::render() {
  rendering_ = true;
  for (int i = 0; i < kStatisticRows; ++i) {
    settings[i]->setCurrentIndex(model_.selected[i]);
    values[i]->setText(QString::number(model_.values[i]));
  }
  chart->show_bars(statistic_bars(model_));
  rendering_ = false;
}

void StatisticsPageWidget::run(const std::function<void()>& action) {
  // A second click while the device is being asked must not start another exchange.
  if (in_action_) return;
  {
    in_action_ = true;
    const ScopeExit finished([this] { in_action_ = false; });
    try {
      action();
    } catch (const ConversionError& e) {
      QMessageBox::critical(this, QString(), QString::fromStdString(e.what()));
    }
  }
  render();
}

}  // namespace qv82
