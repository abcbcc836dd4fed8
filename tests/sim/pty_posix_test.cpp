// qv82hs-sim on a real pseudo-terminal, driven through termios.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <fstream>

#include "link/bytes.h"
#include "link/cctalk_link.h"
#include "support/processes.h"
#include "support/temp_dir.h"
#include "support/sim_fixture.h"

namespace qv82::sim {
namespace {

class Terminal {
 public:
  explicit Terminal(const std::string& path) : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY)) {
    termios terms{};
    if (fd_ < 0 || tcgetattr(fd_, &terms) != 0) return;
    cfmakeraw(&terms);
    cfsetispeed(&terms, B9600);
    cfsetospeed(&terms, B9600);
    tcsetattr(fd_, TCSANOW, &terms);
  }
  ~Terminal() {
    if (fd_ >= 0) ::close(fd_);
  }
  bool ok() const { return fd_ >= 0; }

  // Writes the frame and collects what comes back until `expected` bytes
  // are there or two seconds have passed.
  Bytes exchange(const Bytes& frame, std::size_t expected) {
    if (write(fd_, frame.data(), frame.size()) != static_cast<ssize_t>(frame.size())) return {};
    Bytes received;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (received.size() < expected && std::chrono::steady_clock::now() < end) {
      pollfd fd{fd_, POLLIN, 0};
      if (poll(&fd, 1, 100) <= 0) continue;
      std::uint8_t buffer[256];
      const ssize_t n = read(fd_, buffer, sizeof buffer);
      if (n > 0) received.insert(received.end(), buffer, buffer + n);
    }
    return received;
  }

 private:
  int fd_;
};

TEST(PtyBridge, ImageLaidOverAndStoredImageOnExit) {
  const test::TempDir temp;
  const std::string& dir = temp.path();
  const std::string link = dir + "/port";
  const std::string image = dir + "/start.txt";
  const std::string saved = dir + "/saved.txt";
  std::ofstream(image) << "# masks closed for PIN reads\n07EB: FF FF 00 FF\n";

  // An erased device with the file laid over it: every other byte reads FF.
  test::SimOnPty sim({"--link", link, "--erased", "--image", image, "--save-image", saved});

  Terminal port(link);
  ASSERT_TRUE(port.ok());
  const Bytes read_masks = build_frame(2, {0xFF, 0x02, 0x07, 0xEB, 0x04});
  const Bytes reply = port.exchange(read_masks, read_masks.size() + 9);
  ASSERT_EQ(reply.size(), read_masks.size() + 9);
  EXPECT_EQ(reply_data(Bytes(reply.begin() + 9, reply.end())), (Bytes{0xFF, 0xFF, 0x00, 0xFF}));

  // Written and stored: the non-volatile image holds it when the simulator ends.
  EXPECT_EQ(port.exchange(build_frame(2, {0xFF, 0x03, 0x07, 0xB0, 0xAB}), 14).size(), 14u);
  EXPECT_EQ(port.exchange(build_frame(2, {0xFF, 0x03}), 11).size(), 11u);
  EXPECT_EQ(sim.stop(), 0);
  const sim::Memory::Image stored = test::saved_image(saved);
  EXPECT_EQ(Bytes(stored.begin() + 0x07AF, stored.begin() + 0x07B2), (Bytes{0xFF, 0xAB, 0xFF}));
  EXPECT_NE(access(link.c_str(), F_OK), 0) << "the link goes with the simulator";
}

}  // namespace
}  // namespace qv82::sim
