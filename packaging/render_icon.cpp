// Draws the icon of packaging/qv82hs.svg with QPainter, shape for shape, and
// saves the PNG sizes the desktop looks for. Run once after changing the
// SVG; the PNGs are committed.
//
//   cmake --build build --target qv82hs-render-icon
//   build/packaging/qv82hs-render-icon packaging/icons

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPolygonF>
#include <cstdio>

namespace {

void draw_icon(QPainter& p) {
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor("#2b4c7e"));
  p.drawRoundedRect(QRectF(12, 12, 232, 232), 40, 40);
  p.setBrush(QColor("#1b3154"));
  p.drawRoundedRect(QRectF(28, 172, 200, 56), 14, 14);
  p.setBrush(QColor("#0b1526"));
  p.drawRoundedRect(QRectF(64, 194, 128, 14), 7, 7);
  p.setBrush(QColor("#e8b83e"));
  p.setPen(QPen(QColor("#a97c17"), 8));
  p.drawEllipse(QPointF(128, 100), 72, 72);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor("#a97c17"), 6));
  p.drawEllipse(QPointF(128, 100), 50, 50);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor("#2b4c7e"));
  const QPolygonF arrow(
      {{128, 150}, {100, 112}, {116, 112}, {116, 64}, {140, 64}, {140, 112}, {156, 112}});
  p.drawPolygon(arrow);
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  const QString folder = argc > 1 ? QString(argv[1]) : QString(".");
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.scale(size / 256.0, size / 256.0);
    draw_icon(painter);
    painter.end();
    const QString name = folder + "/qv82hs-" + QString::number(size) + ".png";
    if (!image.save(name)) {
      std::fprintf(stderr, "cannot save %s\n", qPrintable(name));
      return 1;
    }
  }
  return 0;
}
