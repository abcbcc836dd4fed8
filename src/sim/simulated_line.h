#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "link/serial_port.h"
#include "sim/bus.h"
#include "sim/scheduler.h"

namespace qv82::sim {

// The serial port of the simulated bench: a SerialPort whose far end is one
// simulated bus per port name. Several names can exist with the device on
// only one of them, so a port scan has something to search.
class SimulatedLine : public SerialPort {
 public:
  explicit SimulatedLine(Scheduler& scheduler, std::vector<std::string> port_names = {"SIM"});

  // The bus behind a port name; throws std::out_of_range for an unknown name.
  Bus& bus(const std::string& name);
  // Adds a port (with an empty bus) if the name is new; a vanished one comes
  // back with its bus.
  void add_port(const std::string& name);
  // The port vanishes (the adapter is pulled): it is no longer listed, and
  // if it was open it closes and reports "NAME was disconnected".
  void remove_port(const std::string& name);

  // Fault: the interface does not echo the host's bytes on this line.
  void set_echo(bool on);
  // Fault: the adapter is pulled just as the host sends the frame for which
  // this answers true; the frame is lost. Unset: never.
  std::function<bool(const Bytes& frame)> vanish_on;
  // Fault: listing the ports fails with "Registry error".
  bool fail_port_list = false;
  // Fault: opening these listed ports fails, port name -> the system's reason.
  std::map<std::string, std::string> open_refusals;

  // Bytes received but not yet announced/read.
  std::size_t pending() const { return received_.size(); }
  // Every byte the host has written since the line was made, while
  // keep_written is set (real-time sessions clear it: memory would grow).
  const Bytes& written() const { return written_; }
  bool keep_written = true;
  // Set when the line stands in for the hardware itself (the --simulate
  // runs), not for a real port a test pretends to have.
  bool stands_in_for_hardware = false;

  void open() override;
  void close() override;
  bool connected() const override { return open_; }
  void set_port_name(const std::string& name) override;
  std::string port_name() const override { return name_; }
  bool simulated() const override { return stands_in_for_hardware; }
  void set_baud_rate(int rate) override { baud_ = rate; }
  int baud_rate() const override { return baud_; }
  std::size_t write(const Bytes& data) override;
  Bytes read(std::size_t count) override;
  std::vector<std::string> list_ports() override;

 private:
  void arrive(const std::string& from, const Bytes& bytes, int baud);

  Scheduler& scheduler_;
  std::vector<std::string> names_;
  std::map<std::string, std::unique_ptr<Bus>> buses_;
  std::string name_;
  int baud_ = 9600;
  bool open_ = false;
  bool echo_ = true;
  std::deque<std::uint8_t> received_;
  Bytes written_;
};

}  // namespace qv82::sim
