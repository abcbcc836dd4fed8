// Typed commands of the simulator and its image files.
#include "sim/console.h"

#include <gtest/gtest.h>

#include <fstream>

#include "sim/image_file.h"
#include "sim/simulated_setup.h"
#include "support/temp_dir.h"

namespace qv82::sim {
namespace {

class ConsoleTest : public ::testing::Test {
 protected:
  SimulatedSetup setup;
  Console console{setup.device(), setup.line().bus("SIM")};
};

TEST_F(ConsoleTest, CommandsActOnTheDevice) {
  const std::pair<const char*, const char*> cases[] = {
      {"insert 0", "rejected, code 2"},  // master inhibit after start
      {"insert 99", "no coin kind 99"},
      {"insert x", "'x' is not a valid integer value"},
      {"insert 2 14 1", "P must be between 1 and 13"},
      {"dump 07EB 4", "07EB: FFFFFFFF"},
      {"fault no-echo on", "ok"},
      {"fault second 5", "ok"},
      {"accept on", "coins accepted"},
      {"insert 4", "accepted, channel 5"},
      {"insert 8", "rejected, code 1"},  // a foreign coin
      {"accept off", "coins inhibited"},
      {"", ""},
  };
  for (const auto& [line, output] : cases) EXPECT_EQ(console.run(line), output) << line;
  EXPECT_EQ(setup.device().insertion_count(), 3u);
  EXPECT_FALSE(setup.line().bus("SIM").echo);
  EXPECT_EQ(setup.line().bus("SIM").devices().size(), 2u);
  EXPECT_NE(console.run("bogus").find("unknown command"), std::string::npos);
  EXPECT_FALSE(console.quit_requested());
  console.run("quit");
  EXPECT_TRUE(console.quit_requested());
}

TEST(ImageFile, SavedImageLoadsBackAndBadFilesChangeNothing) {
  const test::TempDir temp;
  const std::string& dir = temp.path();
  Memory::Image image;
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 7);
  std::string error;
  ASSERT_TRUE(save_image_file(dir + "/all.txt", image, error)) << error;
  Memory::Image loaded{};
  ASSERT_TRUE(load_image_file(dir + "/all.txt", loaded, error)) << error;
  EXPECT_EQ(loaded, image);

  const std::pair<const char*, const char*> bad[] = {
      {"0FFE: 01 02 03\n", "line 2: block ends beyond address 0FFF"},
      {"# fine\n0570: 0\n", "line 3: odd number of hex digits"},
      {"0570: GG\n", "line 2: 'GG' is not a valid hexadecimal value"},
  };
  for (const auto& [text, message] : bad) {
    std::ofstream(dir + "/bad.txt") << "0000: 55\n" << text;
    Memory::Image kept = image;
    EXPECT_FALSE(load_image_file(dir + "/bad.txt", kept, error));
    EXPECT_NE(error.find(message), std::string::npos) << error;
    EXPECT_EQ(kept, image) << "nothing applied from a bad file";
  }
  EXPECT_FALSE(save_image_file(dir + "/no/such/dir/x.txt", image, error));
}

}  // namespace
}  // namespace qv82::sim
