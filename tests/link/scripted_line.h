#pragma once

#include <deque>
#include <string>
#include <vector>

#include "link/serial_port.h"
#include "sim/scheduler.h"

namespace qv82::test {

// A port whose far end is a script: every written byte is echoed one byte
// time later (unless echo is off), then the queued answer bytes follow.
// Enough to pin down the transaction layer's timing rules without a device.
class ScriptedLine : public SerialPort {
 public:
  explicit ScriptedLine(sim::Scheduler& scheduler) : scheduler_(scheduler) {}

  bool echo = true;
  std::uint64_t byte_time_us = 1042;     // 10 bits at 9600 baud
  std::uint64_t answer_delay_us = 2000;  // after the last echoed byte
  std::vector<Bytes> answers;            // one per write, in order
  Bytes trailer;                         // sent after each answer...
  std::uint64_t trailer_gap_us = 0;      // ...this long after its last byte
  std::vector<Bytes> written;
  bool vanish_on_write = false;  // the adapter is pulled while a request is written

  void open() override;
  void close() override;
  bool connected() const override { return open_; }
  void set_port_name(const std::string& name) override { name_ = name; }
  std::string port_name() const override { return name_; }
  void set_baud_rate(int rate) override;
  int baud_rate() const override { return rate_; }
  std::size_t write(const Bytes& data) override;
  Bytes read(std::size_t count) override;
  std::vector<std::string> list_ports() override { return {"SCRIPT"}; }

  // The adapter is pulled: the port closes and reports it, as the real one does.
  void vanish();

 private:
  void deliver_at(std::uint64_t time_us, std::uint8_t byte);

  sim::Scheduler& scheduler_;
  bool open_ = true;
  int rate_ = 9600;
  std::string name_ = "SCRIPT";
  std::deque<std::uint8_t> pending_;
  std::size_t next_answer_ = 0;
};

}  // namespace qv82::test
