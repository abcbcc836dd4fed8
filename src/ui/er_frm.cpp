#include "ui/er_frm.h"

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

// Number boxes in rows of eight, "All" below them.
template <std::size_t N>
QGroupBox* make_group(QWidget* parent, std::array<QCheckBox*, N>& boxes, QCheckBox*& all,
                      std::array<bool, N>& ticks, bool& rendering) {
  auto* group = new QGroupBox(parent);
  auto* grid = new QGridLayout(group);
  for (std::size_t i = 0; i < N; ++i) {
    boxes[i] = new QCheckBox(QString::number(i + 1), group);
    grid->addWidget(boxes[i], static_cast<int>(i / 8), static_cast<int>(i % 8));
    QObject::connect(boxes[i], &QCheckBox::toggled, group, [&ticks, &rendering, i](bool on) {
      if (!rendering) ticks[i] = on;
    });
  }
  all = new QCheckBox(group);
  grid->addWidget(all, static_cast<int>((N + 7) / 8), 0, 1, 2);
  return group;
}

}  // namespace

TErFrm::TErFrm(Erasing& model, QWidget* parent) : QDialog(parent), model_(model) {
  setModal(true);
  channels_group_ = make_group(this, channel_boxes, CheckBox17, model_.channels, rendering_);
  channels_group_->setObjectName("GroupBox1");
  statistics_group_ = make_group(this, statistic_boxes, CheckBox38, model_.statistics, rendering_);
  statistics_group_->setObjectName("GroupBox2");
  connect(CheckBox17, &QCheckBox::clicked, this, [this](bool on) {
    model_.CheckBox17Click(on);
    render();
  });
  connect(CheckBox38, &QCheckBox::clicked, this, [this](bool on) {
    model_.CheckBox38Click(on);
    render();
  });

  Button1 = new QPushButton(this);
  Button2 = new QPushButton(this);
  ProgressBar1 = new QProgressBar(this);
  ProgressBar1->setFormat("%v / %m");
  connect(Button1, &QPushButton::clicked, this, &TErFrm::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &TErFrm::reject);
  model_.progress_changed = [this] { render_progress(); };

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(ProgressBar1, 1);
  buttons->addWidget(Button1);
  buttons->addWidget(Button2);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(channels_group_);
  layout->addWidget(statistics_group_);
  layout->addLayout(buttons);

  init_language();
  render();
  render_progress();
}

TErFrm::~TErFrm() { model_.progress_changed = nullptr; }

void TErFrm::Button1Click() {
  if (model_.Button1Click()) accept();
}

void TErFrm::render_progress() {
  const bool idle = !model_.running;
  for (QWidget* control :
       {static_cast<QWidget*>(channels_group_), static_cast<QWidget*>(statistics_group_),
        static_cast<QWidget*>(Button1), static_cast<QWidget*>(Button2)}) {
    control->setEnabled(idle);
  }
  ProgressBar1->setVisible(model_.running);
  ProgressBar1->setRange(0, std::max(1, model_.items_chosen));
  ProgressBar1->setValue(model_.items_done);
}

void TErFrm::reject() {
  if (model_.running) return;  // Escape while the writes go on
  QDialog::reject();
}

void TErFrm::closeEvent(QCloseEvent* event) {
  if (model_.running) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

void TErFrm::init_language() {
  setWindowTitle(q(msg::kErasing));
  findChild<QGroupBox*>("GroupBox1")->setTitle(q(msg::kSelectChannels));
  findChild<QGroupBox*>("GroupBox2")->setTitle(q(msg::kSelectStatistic));
  CheckBox17->setText(q(msg::kAll));
  CheckBox38->setText(q(msg::kAll));
  Button1->setText("Erase selected");  // not in the message table
  Button2->setText(q(msg::kClose));
}

void TErFrm::render() {
  rendering_ = true;
  for (std::size_t i = 0; i < channel_boxes.size(); ++i) {
    channel_boxes[i]->setChecked(model_.channels[i]);
  }
  for (std::size_t i = 0; i < statistic_boxes.size(); ++i) {
    statistic_boxes[i]->setChecked(model_.statistics[i]);
  }
  CheckBox17->setChecked(model_.all_channels);
  CheckBox38->setChecked(model_.all_statistics);
  rendering_ = false;
}

void TErFrm::showEvent(QShowEvent* event) {
  render();
  QDialog::showEvent(event);
}

}  // namespace qv82
