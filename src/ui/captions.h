#pragma once

#include <QString>
#include <QWidget>
#include <utility>
#include <vector>

namespace qv82 {

// The text of a message number in the current language.
QString message_text(int number);

// The standard buttons (OK, Cancel, Yes, No, Close) of the button boxes
// inside a dialog or message box, in the current language: Qt's own words
// would stay English.
void name_standard_buttons(QWidget* dialog);

// Widgets whose caption is a message of the table: set once when the widget
// is made, and again whenever the language changes. Group boxes take it as
// their title, buttons and labels as their text.
class Captions {
 public:
  template <typename W>
  W* add(W* widget, int number) {
    entries_.emplace_back(widget, number);
    apply(widget, number);
    return widget;
  }
  void apply() const;

 private:
  static void apply(QWidget* widget, int number);
  std::vector<std::pair<QWidget*, int>> entries_;
};

}  // namespace qv82
