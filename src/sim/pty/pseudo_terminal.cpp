#include "pseudo_terminal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace qv82::sim {

namespace {

[[noreturn]] void fail(const std::string& what) {
  throw std::runtime_error(what + ": " + std::strerror(errno));
}

}  // namespace

PseudoTerminal::PseudoTerminal() {
  master_ = posix_openpt(O_RDWR | O_NOCTTY);
  if (master_ < 0) fail("posix_openpt");
  if (grantpt(master_) != 0 || unlockpt(master_) != 0) fail("grantpt/unlockpt");
  const char* name = ptsname(master_);
  if (name == nullptr) fail("ptsname");
  slave_path_ = name;
  slave_ = ::open(slave_path_.c_str(), O_RDWR | O_NOCTTY);
  if (slave_ < 0) fail("open " + slave_path_);

  // Raw and 9600 baud until the host sets its own terms: no echo, no line
  // editing, no translation of any byte.
  termios terms{};
  if (tcgetattr(slave_, &terms) != 0) fail("tcgetattr");
  cfmakeraw(&terms);
  terms.c_cflag |= CLOCAL | CREAD;
  cfsetispeed(&terms, B9600);
  cfsetospeed(&terms, B9600);
  if (tcsetattr(slave_, TCSANOW, &terms) != 0) fail("tcsetattr");

  const int flags = fcntl(master_, F_GETFL);
  if (flags < 0 || fcntl(master_, F_SETFL, flags | O_NONBLOCK) != 0) fail("fcntl");
}

PseudoTerminal::~PseudoTerminal() {
  remove_link();
  if (slave_ >= 0) ::close(slave_);
  if (master_ >= 0) ::close(master_);
}

int PseudoTerminal::host_baud_rate() const {
  termios terms{};
  if (tcgetattr(slave_, &terms) != 0) return 0;
  switch (cfgetospeed(&terms)) {
    case B4800:
      return 4800;
    case B9600:
      return 9600;
    case B19200:
      return 19200;
    case B38400:
      return 38400;
    default:
      return 0;
  }
}

void PseudoTerminal::discard_unread() { tcflush(slave_, TCIFLUSH); }

void PseudoTerminal::make_link(const std::string& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) == 0) {
    if (!S_ISLNK(info.st_mode)) {
      errno = EEXIST;
      fail("--link " + path + " exists and is not a link");
    }
    if (unlink(path.c_str()) != 0) fail("remove " + path);
  }
  if (symlink(slave_path_.c_str(), path.c_str()) != 0) fail("link " + path);
  link_ = path;
}

void PseudoTerminal::remove_link() {
  if (link_.empty()) return;
  char target[4096];
  const ssize_t n = readlink(link_.c_str(), target, sizeof target - 1);
  if (n >= 0 && std::string(target, static_cast<std::size_t>(n)) == slave_path_) {
    unlink(link_.c_str());
  }
  link_.clear();
}

}  // namespace qv82::sim
