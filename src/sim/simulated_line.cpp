#include "sim/simulated_line.h"

#include <algorithm>

#include "link/errors.h"

namespace qv82::sim {

SimulatedLine::SimulatedLine(Scheduler& scheduler, std::vector<std::string> port_names)
    : scheduler_(scheduler) {
  for (const std::string& name : port_names) add_port(name);
  if (!names_.empty()) name_ = names_.front();
}

void SimulatedLine::add_port(const std::string& name) {
  if (buses_.count(name) != 0) {
    // A pulled adapter plugged in again: the same bus, its device still on it.
    if (std::find(names_.begin(), names_.end(), name) == names_.end()) names_.push_back(name);
    return;
  }
  auto bus = std::make_unique<Bus>(scheduler_);
  bus->echo = echo_;
  bus->set_host_sink([this, name](const Bytes& bytes, int baud) { arrive(name, bytes, baud); });
  buses_.emplace(name, std::move(bus));
  names_.push_back(name);
}

void SimulatedLine::remove_port(const std::string& name) {
  names_.erase(std::remove(names_.begin(), names_.end(), name), names_.end());
  // The bus stays alive: devices and pending line events may still refer to it.
  if (name != name_ || !open_) return;
  close();
  report_failure(port_disconnected(name));
}

Bus& SimulatedLine::bus(const std::string& name) { return *buses_.at(name); }

void SimulatedLine::set_echo(bool on) {
  echo_ = on;
  for (auto& entry : buses_) entry.second->echo = on;
}

void SimulatedLine::open() {
  if (open_) return;
  if (const auto refused = open_refusals.find(name_); refused != open_refusals.end()) {
    throw PortError(port_open_failure(name_, refused->second));
  }
  if (std::find(names_.begin(), names_.end(), name_) == names_.end()) {
    throw PortError(port_open_failure(name_, "No such file or directory"));
  }
  received_.clear();
  open_ = true;
}

void SimulatedLine::close() {
  open_ = false;
  received_.clear();
}

void SimulatedLine::set_port_name(const std::string& name) {
  if (name == name_) return;
  const bool was_open = open_;
  close();
  name_ = name;
  if (was_open) open();
}

std::size_t SimulatedLine::write(const Bytes& data) {
  if (!open_ || data.empty()) return 0;
  if (vanish_on && vanish_on(data)) {
    remove_port(name_);
    return 0;
  }
  if (keep_written) written_.insert(written_.end(), data.begin(), data.end());
  buses_.at(name_)->host_send(data, baud_);
  return data.size();
}

Bytes SimulatedLine::read(std::size_t count) {
  count = std::min(count, received_.size());
  Bytes bytes(received_.begin(), received_.begin() + static_cast<std::ptrdiff_t>(count));
  received_.erase(received_.begin(), received_.begin() + static_cast<std::ptrdiff_t>(count));
  return bytes;
}

std::vector<std::string> SimulatedLine::list_ports() {
  if (fail_port_list) throw PortError(port_list_failure("the list of serial ports cannot be read"));
  return names_;
}

void SimulatedLine::arrive(const std::string& from, const Bytes& bytes, int baud) {
  // A closed port, another port, or bytes at another rate (garbage to the
  // UART) are lost.
  if (!open_ || from != name_ || baud != baud_) return;
  received_.insert(received_.end(), bytes.begin(), bytes.end());
  notify_received(bytes.size());
}

}  // namespace qv82::sim
