#pragma once

#include <QWidget>
#include <functional>
#include <string>

#include "device/ui.h"
#include "link/comm_log.h"

class QCheckBox;
class QLabel;
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

  QTreeView* log_view;
  CommLogModel* model;
  QPushButton* save_log_button;  // "Save to file"
  QPushButton* save_explained_button;
  QCheckBox* explanations_box;       // shows the explanation column
  QPushButton* clear_log_button;     // "Clear log"
  QCheckBox* log_to_file_box;        // "Log to file"
  QLabel* log_file_label;            // where "Log to file" writes, in full
  QLineEdit* command_edit;           // terminal line
  QPushButton* send_command_button;  // "Send command"

  void save_log();
  void save_with_explanations();
  void show_explanations(bool shown);
  void clear_log();
  void set_log_to_file();
  void send_typed_command();

 private:
  CommLog& log_;
  Ui& ui_;
  void save(bool explained);

  SendCommand send_command_;
};

}  // namespace qv82
