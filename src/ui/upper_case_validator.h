#pragma once

#include <QValidator>

namespace qv82 {

// Turns every letter typed into the field to upper case, so hex text is
// always entered as the device expects it.
class UpperCaseValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int& /*pos*/) const override {
    input = input.toUpper();
    return Acceptable;
  }
};

}  // namespace qv82
