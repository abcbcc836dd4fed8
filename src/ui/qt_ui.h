#pragma once

#include <QPointer>
#include <QString>

#include "device/ui.h"
#include "ui/password_dialog.h"
#include "ui/section_tree_dialog.h"

class QWidget;

namespace qv82 {

// The windows' answer to the core's questions: modal message boxes, the
// password dialog, file dialogs and the wait cursor.
class QtUi : public Ui {
 public:
  explicit QtUi(QWidget* parent = nullptr);
  ~QtUi() override;

  // Boxes and dialogs are centred on this window.
  void set_parent(QWidget* parent) { parent_ = parent; }

  void error(const std::string& text) override;
  void information(const std::string& text) override;
  Answer question(const std::string& text, Buttons buttons) override;
  std::optional<std::string> password(const std::string& caption, const std::string& note,
                                      const Validator& validate) override;
  bool choose_sections(const std::string& caption, ParameterTree& tree) override;
  std::optional<std::string> open_file(const std::string& filter) override;
  std::optional<std::string> save_file(const std::string& filter) override;
  void wait_cursor(bool on) override;
  void show_lines(const std::string& caption, const std::vector<std::string>& lines) override;
  std::optional<std::size_t> choose_item(const std::string& caption,
                                         const std::vector<std::string>& items) override;

  PasswordDialog& password_dialog();
  // The parameter tree dialog of choose_sections.
  SectionTreeDialog& section_tree_dialog();

 private:
  QWidget* parent_;
  // Owned by the parent window once it has one; the pointer clears itself
  // when the window goes first.
  QPointer<PasswordDialog> password_dialog_;
  QPointer<SectionTreeDialog> section_tree_dialog_;
  int wait_depth_ = 0;
};

// "Text files|*.txt|All|*.*" as a file dialog filter:
// "Text files (*.txt);;All (*.*)". Patterns separated by ';' in the first
// form are separated by blanks in the second.
QString dialog_filter(const std::string& filter);

}  // namespace qv82
