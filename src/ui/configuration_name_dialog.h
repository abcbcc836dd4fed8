#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;

namespace qv82 {

class Ui;

// The name of a new standard configuration; OK is refused for an empty name
// or one already in the list.
class ConfigurationNameDialog : public QDialog {
  Q_OBJECT

 public:
  using NameList = std::function<std::vector<std::string>()>;

  ConfigurationNameDialog(Ui& ui, NameList used_names, QWidget* parent = nullptr);

  void init_language();
  // The accepted name as typed.
  std::string name() const;

  // When set, OK runs this check (which words its own refusal) instead of
  // the used-name list.
  std::function<bool(const std::string&)> check;

  QLabel* name_label;  // "Name:"
  QLineEdit* name_edit;

  void confirm();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  Ui& ui_;
  NameList used_names_;
};

}  // namespace qv82
