#include "cli/cli_context.h"

#include "cli/native_connection.h"
#include "cli/simulated_connection.h"
#include "files/full_path.h"
#include "lang/language.h"
#include "link/errors.h"

namespace qv82::cli {

struct CliContext::Connection {
  std::unique_ptr<SimulatedConnection> simulated;
  std::unique_ptr<NativeConnection> native;
  std::unique_ptr<CliUi> ui;
  // Last: it holds on to the port and the pump above.
  std::unique_ptr<Application> app;
};

CliContext::CliContext(GlobalOptions opts, std::ostream& out_stream, std::ostream& err_stream)
    : options(std::move(opts)), out(out_stream), err(err_stream) {
  // Before anything is said: every message of the run in one language, also
  // of the commands that need no device.
  const IniFile settings(workdir() + "/" + kSettingsFileName);
  set_language_base(options.language != 0 ? options.language : language_of_settings(settings));
  if (options.language == 0) {
    if (const std::string problem = language_setting_problem(settings); !problem.empty()) {
      err << "qv82hs-cli: " << problem << "\n";
    }
  }
}

CliContext::~CliContext() = default;

// Absolute, so that every message about a data file names where it is.
std::string CliContext::workdir() const { return full_path(options.workdir.value_or(".")); }

void CliContext::set_up() {
  connection_ = std::make_unique<Connection>();
  SerialPort* port = nullptr;
  EventPump* pump = nullptr;
  if (options.simulate) {
    connection_->simulated = make_simulated_connection();
    port = &connection_->simulated->port();
    pump = &connection_->simulated->pump();
  } else {
    connection_->native = make_native_connection(
        options.port, [this](const std::string& note) { err << note << "\n"; });
    port = &connection_->native->port();
    pump = &connection_->native->pump();
  }
  connection_->ui = std::make_unique<CliUi>(options, out, err);
  connection_->app = std::make_unique<Application>(*port, *pump, *connection_->ui, workdir());
  Application& application = *connection_->app;
  application.language_option = options.language;
  application.selector.verify_writes = !options.no_verify;
  if (options.no_backup) application.selector.back_up = nullptr;
  // On stderr, beside the search's notes: stdout keeps each command's own
  // printed form.
  application.hooks.backup_written = [this](const std::string& path) {
    err << language_text(msg::kBackupPrefix) << path << "\n" << std::flush;
  };
  CcTalkLink& holder = connection_->app->link;
  if (options.address) holder.device_address = static_cast<std::uint8_t>(*options.address);

  if (options.log_file) {
    log_file_.open(*options.log_file, std::ios::app);
    if (!log_file_) err << "Cannot open log file " << *options.log_file << "\n";
  }
  holder.add_log_line = [this](const std::string& line) {
    if (log_file_.is_open()) log_file_ << line << "\n" << std::flush;
    if (on_log_line) on_log_line(line);
  };

  // Without --port, the port the last search found.
  if (!options.simulate) {
    port->set_port_name(options.port.value_or(
        connection_->app->settings.read_string("SETTINGS", "ComPort", "COM3")));
  }
}

CcTalkLink& CliContext::link() {
  if (!connection_) set_up();
  if (!port_tried_) {
    port_tried_ = true;
    SerialPort& port = connection_->app->link.port;
    try {
      port.open();
    } catch (const PortError& e) {
      ui().error(e.what());
    }
  }
  return connection_->app->link;
}

SerialPort& CliContext::port() {
  if (!connection_) set_up();
  return connection_->app->link.port;
}

EventPump& CliContext::pump() {
  if (!connection_) set_up();
  return connection_->app->link.pump;
}

bool CliContext::data_error_shown() const {
  return connection_ && connection_->ui->data_error_shown();
}

CliUi& CliContext::ui() {
  if (!connection_) set_up();
  return *connection_->ui;
}

Application& CliContext::app() {
  if (!connection_) set_up();
  return *connection_->app;
}

bool CliContext::connect_device(bool announce) {
  if (!connection_) set_up();
  if (options.address) {
    // No search follows: a port that will not open is the whole story.
    if (!link().port.connected()) return false;
  } else if (!port_tried_) {
    // As at start-up: the search scans every port if this one is gone.
    port_tried_ = true;
    try {
      port().open();
    } catch (const PortError&) {
    }
  }
  Application& application = app();
  CliUi& person = ui();
  if (options.address) {
    application.device.messages_enabled = true;
    const int errors_before = person.error_count();
    if (application.selector.identify_device()) return true;
    if (person.error_count() == errors_before) {
      person.error(language_text(msg::kCoinSelectorNotFoundAt, {std::to_string(*options.address)}));
    }
    return false;
  }
  person.information_to_err = !announce;
  const bool found = application.selector.search();
  person.information_to_err = false;
  return found;
}

}  // namespace qv82::cli
