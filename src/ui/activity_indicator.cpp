#include "ui/activity_indicator.h"

#include <QPainter>
#include <algorithm>

namespace qv82 {

ActivityIndicator::ActivityIndicator(QWidget* parent) : QWidget(parent) {
  timer_.setInterval(80);
  connect(&timer_, &QTimer::timeout, this, [this] {
    step_ = (step_ + 1) % kDots;
    update();
  });
  setFixedSize(sizeHint());
}

void ActivityIndicator::start() {
  if (!timer_.isActive()) timer_.start();
  update();
}

void ActivityIndicator::stop() {
  timer_.stop();
  update();
}

void ActivityIndicator::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.translate(width() / 2.0, height() / 2.0);
  const double radius = std::min(width(), height()) / 2.0;
  const double dot = radius / 4.0;
  for (int i = 0; i < kDots; ++i) {
    QColor colour = palette().color(QPalette::Disabled, QPalette::WindowText);
    if (timer_.isActive()) {
      // The dot at the current step is darkest; the trail fades behind it.
      const int age = (step_ - i + kDots) % kDots;
      colour = QColor(0, 90, 200);
      colour.setAlphaF(std::max(0.15, 1.0 - age / static_cast<double>(kDots)));
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.save();
    painter.rotate(360.0 * i / kDots);
    painter.drawEllipse(QPointF(0, -(radius - dot)), dot * 0.8, dot * 0.8);
    painter.restore();
  }
}

}  // namespace qv82
