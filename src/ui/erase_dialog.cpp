#include "ui/erase_dialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "lang/language.h"

namespace qv82 {

namespace {

QString q(int message) { return QString::fromStdString(language_text(message)); }

// Numbered boxes, "All" below them: channels in rows of eight; statistics
// as on their page, 1 ... 10 down the left and 11 ... 20 down the right,
// with room for their names.
template <std::size_t N>
QGroupBox* make_group(QWidget* parent, std::array<QCheckBox*, N>& boxes, QCheckBox*& all,
                      std::array<bool, N>& ticks, bool& rendering, bool in_columns) {
  auto* group = new QGroupBox(parent);
  auto* grid = new QGridLayout(group);
  constexpr std::size_t kRows = N / 2;
  for (std::size_t i = 0; i < N; ++i) {
    boxes[i] = new QCheckBox(QString::number(i + 1), group);
    if (in_columns) {
      grid->addWidget(boxes[i], static_cast<int>(i % kRows), static_cast<int>(i / kRows));
    } else {
      grid->addWidget(boxes[i], static_cast<int>(i / 8), static_cast<int>(i % 8));
    }
    QObject::connect(boxes[i], &QCheckBox::toggled, group, [&ticks, &rendering, i](bool on) {
      if (!rendering) ticks[i] = on;
    });
  }
  all = new QCheckBox(group);
  grid->addWidget(all, in_columns ? static_cast<int>(kRows) : static_cast<int>((N + 7) / 8), 0, 1,
                  2);
  return group;
}

}  // namespace

EraseDialog::EraseDialog(Erasing& model, QWidget* parent) : QDialog(parent), model_(model) {
  setModal(true);
  channels_group_ =
      make_group(this, channel_boxes, all_channels_box, model_.channels, rendering_, false);
  channels_group_->setObjectName("channels_group");
  statistics_group_ =
      make_group(this, statistic_boxes, all_statistics_box, model_.statistics, rendering_, true);
  statistics_group_->setObjectName("statistics_group");
  connect(all_channels_box, &QCheckBox::clicked, this, [this](bool on) {
    model_.tick_all_channels(on);
    render();
  });
  connect(all_statistics_box, &QCheckBox::clicked, this, [this](bool on) {
    model_.tick_all_statistics(on);
    render();
  });

  erase_button = new QPushButton(this);
  close_button = new QPushButton(this);
  progress = new QProgressBar(this);
  progress->setFormat("%v / %m");
  connect(erase_button, &QPushButton::clicked, this, &EraseDialog::erase_selected);
  connect(close_button, &QPushButton::clicked, this, &EraseDialog::reject);
  model_.progress_changed = [this] { render_progress(); };

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(progress, 1);
  buttons->addWidget(erase_button);
  buttons->addWidget(close_button);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(channels_group_);
  layout->addWidget(statistics_group_);
  layout->addLayout(buttons);

  init_language();
  render();
  render_progress();
}

EraseDialog::~EraseDialog() { model_.progress_changed = nullptr; }

void EraseDialog::erase_selected() {
  if (model_.erase_selected()) accept();
}

void EraseDialog::render_progress() {
  const bool idle = !model_.running;
  for (QWidget* control :
       {static_cast<QWidget*>(channels_group_), static_cast<QWidget*>(statistics_group_),
        static_cast<QWidget*>(erase_button), static_cast<QWidget*>(close_button)}) {
    control->setEnabled(idle);
  }
  progress->setVisible(model_.running);
  progress->setRange(0, std::max(1, model_.items_chosen));
  progress->setValue(model_.items_done);
}

void EraseDialog::reject() {
  if (model_.running) return;  // Escape while the writes go on
  QDialog::reject();
}

void EraseDialog::closeEvent(QCloseEvent* event) {
  if (model_.running) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

void EraseDialog::init_language() {
  setWindowTitle(q(msg::kErasing));
  findChild<QGroupBox*>("channels_group")->setTitle(q(msg::kSelectChannels));
  findChild<QGroupBox*>("statistics_group")->setTitle(q(msg::kSelectStatistic));
  all_channels_box->setText(q(msg::kAll));
  all_statistics_box->setText(q(msg::kAll));
  erase_button->setText(q(msg::kEraseSelected));
  close_button->setText(q(msg::kClose));
}

void EraseDialog::render() {
  rendering_ = true;
  for (std::size_t i = 0; i < channel_boxes.size(); ++i) {
    channel_boxes[i]->setChecked(model_.channels[i]);
  }
  for (std::size_t i = 0; i < statistic_boxes.size(); ++i) {
    statistic_boxes[i]->setChecked(model_.statistics[i]);
  }
  all_channels_box->setChecked(model_.all_channels);
  all_statistics_box->setChecked(model_.all_statistics);
  rendering_ = false;
}

void EraseDialog::show_statistic_names() {
  for (std::size_t i = 0; i < statistic_boxes.size(); ++i) {
    const int counter = static_cast<int>(i) + 1;
    const std::string name = statistic_name ? statistic_name(counter) : std::string();
    statistic_boxes[i]->setText(QString::number(counter) +
                                (name.empty() ? QString() : ". " + QString::fromStdString(name)));
  }
}

void EraseDialog::showEvent(QShowEvent* event) {
  show_statistic_names();
  render();
  QDialog::showEvent(event);
}

}  // namespace qv82
