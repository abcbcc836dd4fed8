#pragma once

#include <QSpinBox>

namespace qv82 {

// A number box that shows any value of its range but takes from the keyboard only values up
// to a lower limit: a stored value above the limit is shown and kept until the user changes it.
class TypedLimitSpinBox : public QSpinBox {
 public:
  TypedLimitSpinBox(int maximum, int typed_maximum, QWidget* parent = nullptr)
      : QSpinBox(parent), typed_maximum_(typed_maximum) {
    setRange(0, maximum);
  }

  QValidator::State validate(QString& input, int& pos) const override {
    const QValidator::State state = QSpinBox::validate(input, pos);
    if (state == QValidator::Invalid || input.trimmed().isEmpty()) return state;
    const int typed = valueFromText(input);
    return typed > typed_maximum_ && typed != value() ? QValidator::Invalid : state;
  }

  void stepBy(int steps) override {
    const long target = static_cast<long>(value()) + steps;
    if (target <= typed_maximum_) {
      QSpinBox::stepBy(steps);
    } else if (steps < 0) {
      setValue(typed_maximum_);  // stepping down from a stored value above the limit
    }
  }

 private:
  int typed_maximum_;
};

}  // namespace qv82
