#pragma once

#include <string>

namespace qv82::sim {

// A pseudo-terminal pair: the simulator works the master side, the host
// opens the slave like a serial port. The slave is kept open here as well,
// so that the terminal survives the host closing and reopening it.
class PseudoTerminal {
 public:
  // Throws std::runtime_error when no terminal can be made.
  PseudoTerminal();
  ~PseudoTerminal();
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  int master() const { return master_; }
  const std::string& slave_path() const { return slave_path_; }

  // The rate the host has set on its side (4800, 9600, 19200, 38400), or 0
  // when it is none of these.
  int host_baud_rate() const;

  // Drops bytes written to the host that nobody has read (a host that
  // closed the terminal would otherwise find them on reopening).
  void discard_unread();

  // Makes path a symbolic link to the slave, replacing an existing link (but
  // no other kind of file). Throws std::runtime_error on failure.
  void make_link(const std::string& path);
  // Removes the link if it still points at this terminal.
  void remove_link();

 private:
  int master_ = -1;
  int slave_ = -1;
  std::string slave_path_;
  std::string link_;
};

}  // namespace qv82::sim
