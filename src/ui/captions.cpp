#include "ui/captions.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>

#include "lang/language.h"

namespace qv82 {

QString message_text(int number) { return QString::fromStdString(language_text(number)); }

void Captions::apply() const {
  for (const auto& [widget, number] : entries_) apply(widget, number);
}

void Captions::apply(QWidget* widget, int number) {
  const QString text = message_text(number);
  if (auto* group = qobject_cast<QGroupBox*>(widget)) {
    group->setTitle(text);
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    button->setText(text);
  } else if (auto* label = qobject_cast<QLabel*>(widget)) {
    label->setText(text);
  } else {
    widget->setWindowTitle(text);
  }
}

}  // namespace qv82
