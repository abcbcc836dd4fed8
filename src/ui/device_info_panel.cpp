#include "ui/device_info_panel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>

#include "ui/activity_indicator.h"

namespace qv82 {

DeviceInfoPanel::DeviceInfoPanel(QWidget* parent)
    : QFrame(parent), busy_indicator(new ActivityIndicator(this)) {
  setFrameShape(QFrame::StyledPanel);
  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(10);
  grid->setVerticalSpacing(4);
  // Three rows of two fields, so the panel stays low under the notebook.
  for (std::size_t i = 0; i < captions.size(); ++i) {
    captions[i] = new QLabel(this);
    values[i] = new QLabel(this);
    values[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
    values[i]->setMinimumWidth(180);
    QFont bold = values[i]->font();
    bold.setBold(true);
    values[i]->setFont(bold);
    const int row = static_cast<int>(i % 3);
    const int column = static_cast<int>(i / 3) * 2;
    grid->addWidget(captions[i], row, column, Qt::AlignRight);
    grid->addWidget(values[i], row, column + 1);
  }
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(3, 1);
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(grid, 1);
  layout->addWidget(busy_indicator, 0, Qt::AlignVCenter);
  init_language();
}

void DeviceInfoPanel::init_language() { show_info(shown_); }

void DeviceInfoPanel::show_info(const DeviceInfo& info) {
  shown_ = info;
  const auto lines = device_info_lines(info);
  for (std::size_t i = 0; i < captions.size() && i < lines.size(); ++i) {
    captions[i]->setText(QString::fromStdString(lines[i].first));
    values[i]->setText(QString::fromStdString(lines[i].second));
  }
}

}  // namespace qv82
