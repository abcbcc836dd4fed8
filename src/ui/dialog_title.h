#pragma once

#include <QFontMetrics>
#include <QWidget>

namespace qv82 {

// Room in a title bar beside its text: the window icon and the close, and
// on some desktops minimise and maximise, buttons.
inline constexpr int kTitleBarDecorationWidth = 160;

// A small dialog is laid out as narrow as its fields; its title bar would
// then cut the title. Call after the title is set.
inline void keep_title_in_view(QWidget& dialog) {
  const int title = QFontMetrics(dialog.font()).horizontalAdvance(dialog.windowTitle());
  dialog.setMinimumWidth(title + kTitleBarDecorationWidth);
}

}  // namespace qv82
