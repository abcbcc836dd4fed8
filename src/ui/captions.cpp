#include "ui/captions.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "lang/language.h"

namespace qv82 {

QString message_text(int number) { return QString::fromStdString(language_text(number)); }

void name_standard_buttons(QWidget* dialog) {
  static constexpr std::pair<QDialogButtonBox::StandardButton, int> kButtons[] = {
      {QDialogButtonBox::Ok, msg::kOk},
      {QDialogButtonBox::Cancel, msg::kCancel},
      {QDialogButtonBox::Yes, msg::kYes},
      {QDialogButtonBox::No, msg::kNo},
      {QDialogButtonBox::Close, msg::kClose}};
  for (QDialogButtonBox* box : dialog->findChildren<QDialogButtonBox*>()) {
    for (const auto& [which, number] : kButtons) {
      if (QPushButton* button = box->button(which)) button->setText(message_text(number));
    }
  }
}

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
