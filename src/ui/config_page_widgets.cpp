#include "ui/config_page_widgets.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "lang/language.h"

namespace qv82 {

FunctionList::FunctionList(QWidget* parent) : QComboBox(parent) {
  setFixedWidth(kClosedWidth);
  setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  setMinimumContentsLength(0);
  view()->setMinimumWidth(kOpenWidth);
}

void OpeningComboBox::showPopup() {
  if (before_open) before_open();
  QComboBox::showPopup();
}

namespace {

constexpr int kImageSize = 22;

// A signal line: low or high rest level, with an active pulse in the middle.
void draw_pulse(QPainter& p, bool active_high) {
  const int low = kImageSize - 6;
  const int high = 6;
  const int rest = active_high ? low : high;
  const int active = active_high ? high : low;
  QPainterPath path;
  path.moveTo(2, rest);
  path.lineTo(7, rest);
  path.lineTo(7, active);
  path.lineTo(15, active);
  path.lineTo(15, rest);
  path.lineTo(kImageSize - 2, rest);
  p.drawPath(path);
}

void draw_arrow(QPainter& p, bool up) {
  const int mid = kImageSize / 2;
  const int tip = up ? 3 : kImageSize - 3;
  const int tail = up ? kImageSize - 3 : 3;
  p.drawLine(mid, tail, mid, tip);
  const int head = up ? tip + 6 : tip - 6;
  p.drawLine(mid, tip, mid - 5, head);
  p.drawLine(mid, tip, mid + 5, head);
}

}  // namespace

QIcon io_image(const std::string& name) {
  QPixmap pixmap(kImageSize, kImageSize);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor high_colour(0, 120, 0);
  const QColor low_colour(160, 40, 0);
  if (name == "BUP" || name == "BDN") {
    p.setPen(QPen(QColor(0, 60, 160), 2));
    draw_arrow(p, name == "BUP");
  } else if (name == "B1I" || name == "B0I") {
    const bool high = name == "B1I";
    p.setPen(QPen(high ? high_colour : low_colour, 2));
    draw_pulse(p, high);
  } else if (!name.empty()) {
    // Inputs: the level the line rests at, and the edge code beside it.
    const bool high = name == "B1" || name.rfind("B1", 0) == 0 || name == "B03" || name == "B04";
    p.setPen(QPen(high ? high_colour : low_colour, 2));
    const int level = high ? 5 : kImageSize - 5;
    p.drawLine(2, level, kImageSize - 2, level);
    QFont font = p.font();
    font.setPixelSize(9);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QRect(0, high ? 8 : 2, kImageSize, 12), Qt::AlignCenter,
               QString::fromStdString(name.substr(1)));
  }
  return QIcon(pixmap);
}

}  // namespace qv82
