#include "ui/er_frm.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "lang/language.h"
#include "ui/scope_exit.h"

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
  auto* channels = make_group(this, channel_boxes, CheckBox17, model_.channels, rendering_);
  channels->setObjectName("GroupBox1");
  auto* statistics = make_group(this, statistic_boxes, CheckBox38, model_.statistics, rendering_);
  statistics->setObjectName("GroupBox2");
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
  connect(Button1, &QPushButton::clicked, this, &TErFrm::Button1Click);
  connect(Button2, &QPushButton::clicked, this, [this] {
    if (!erasing_) reject();
  });

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(Button1);
  buttons->addWidget(Button2);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(channels);
  layout->addWidget(statistics);
  layout->addLayout(buttons);

  init_language();
  render();
}

void TErFrm::Button1Click() {
  if (erasing_) return;  // a run is already waiting on the device
  bool done = false;
  {
    erasing_ = true;
    const ScopeExit finished([this] { erasing_ = false; });
    done = model_.Button1Click();
  }
  if (done) accept();
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
