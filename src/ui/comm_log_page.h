#pragma once

#include <QWidget>
#include <functional>
#include <string>

#include "device/ui.h"
#include "link/comm_log.h"

class QCheckBox;
class QLineEdit;
class QTreeView;
class QPushButton;

namespace qv82 {

class CommLogModel;

// The "Comm. log" page: the log list with each line's explanation beside
// it, saving (raw, or with the explanations), clearing and copying it into
// log.txt, and the terminal line that sends typed ccTalk commands.
class CommLogPage : public QWidget {
  Q_OBJECT

 public:
  // send_command is the core's terminal; conversion errors it throws are
  // shown to the user.
  using SendCommand = std::function<void(const std::string& text)>;

  CommLogPage(CommLog& log, Ui& ui, SendCommand send_command, QWidget* parent = nullptr);

  // Captions from the message table.
  void init_language();

  QTreeView* ListBox2;
  CommLogModel* model;
  QPushButton* Button10;  // "Save to file"
  QPushButton* save_explained_button;
  QCheckBox* explanations_box;  // shows the explanation column
  QPushButton* Button1;         // "Clear log"
  QCheckBox* CheckBox162;       // "Log to file"
  QLineEdit* Edit1;             // terminal line
  QPushButton* Button2;         // "Send command"

  void Button10Click();
  void save_with_explanations();
  void show_explanations(bool shown);
  void Button1Click();
  void CheckBox162Click();
  void Button2Click();

 private:
  CommLog& log_;
  Ui& ui_;
  void save(bool explained);

  SendCommand send_command_;
};

}  // namespace qv82
