#include "scripted_line.h"

#include "link/errors.h"

namespace qv82::test {

void ScriptedLine::open() { open_ = true; }

void ScriptedLine::vanish() {
  open_ = false;
  report_failure(port_disconnected(name_));
}

void ScriptedLine::close() { open_ = false; }

void ScriptedLine::set_baud_rate(int rate) { rate_ = rate; }

void ScriptedLine::deliver_at(std::uint64_t time_us, std::uint8_t byte) {
  scheduler_.schedule_at_us(time_us, [this, byte] {
    pending_.push_back(byte);
    notify_received(1);
  });
}

std::size_t ScriptedLine::write(const Bytes& data) {
  if (!open_) return 0;
  if (vanish_on_write) {
    vanish();
    return 0;
  }
  written.push_back(data);
  std::uint64_t t = scheduler_.now_us();
  for (std::uint8_t b : data) {
    t += byte_time_us;
    if (echo) deliver_at(t, b);
  }
  if (next_answer_ < answers.size()) {
    t += answer_delay_us;
    for (std::uint8_t b : answers[next_answer_]) {
      t += byte_time_us;
      deliver_at(t, b);
    }
    t += trailer_gap_us;
    for (std::uint8_t b : trailer) {
      t += byte_time_us;
      deliver_at(t, b);
    }
    ++next_answer_;
  }
  return data.size();
}

Bytes ScriptedLine::read(std::size_t count) {
  Bytes out;
  while (count-- > 0 && !pending_.empty()) {
    out.push_back(pending_.front());
    pending_.pop_front();
  }
  return out;
}

}  // namespace qv82::test
