#pragma once

#include <fstream>
#include <iostream>
#include <memory>
#include <string>

#include "app/application.h"
#include "cli/cli_options.h"
#include "cli/cli_ui.h"
#include "link/cctalk_link.h"

namespace qv82::cli {

// What a command works with: the options, and a link to the coin selector
// over the real port or the built-in simulated one. The link and its port
// are set up on first use, so commands that need no device open nothing.
class CliContext {
 public:
  explicit CliContext(GlobalOptions options, std::ostream& out = std::cout,
                      std::ostream& err = std::cerr);
  ~CliContext();

  GlobalOptions options;
  std::ostream& out;
  std::ostream& err;

  // The transaction holder, its port opened under the chosen name. A port
  // that cannot be opened is reported on stderr (once); it stays closed.
  CcTalkLink& link();
  // The port without opening it (listing ports needs no open port).
  SerialPort& port();
  EventPump& pump();

  // Called for every log line the link produces, after the log file got it.
  std::function<void(const std::string&)> on_log_line;

  // Working directory of the data files (the current folder unless
  // --workdir), as a full path.
  std::string workdir() const;

  // The person at the terminal, answering from the options where given.
  CliUi& ui();
  // The application over the link: settings of workdir(), device state and
  // the coin selector's operations.
  Application& app();
  // Finds the coin selector as the Search button does, or, with --address,
  // identifies it at that address. False when there is none (the reason
  // has been shown). With announce false the search's "found" message goes
  // to stderr, leaving stdout to the command's own output.
  bool connect_device(bool announce);

  // Whether an installation or data file stood in the way of the command.
  bool data_error_shown() const;

 private:
  void set_up();

  struct Connection;
  std::unique_ptr<Connection> connection_;
  std::ofstream log_file_;
  bool port_tried_ = false;
};

}  // namespace qv82::cli
