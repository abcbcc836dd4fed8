// qv82hs-cli uploads the configuration of one qv82hs-sim into a file and
// downloads that file into a second, erased one, over pseudo-terminals; the
// two memory images the simulators save at exit then agree on every item of
// the template.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "config/transfer_bench.h"
#include "config/well_formed_xml.h"
#include "support/processes.h"

namespace qv82::test {
namespace {

using Image = sim::Memory::Image;

std::string image_text(const Image& image) {
  std::string text = "# whole memory\n";
  for (std::size_t at = 0; at < image.size(); at += 32) {
    char address[24];
    std::snprintf(address, sizeof address, "%04zX: ", at);
    text += address + bytes_to_hex(Bytes(image.begin() + at, image.begin() + at + 32)) + "\n";
  }
  return text;
}

// Reads the simulator's saved image ("ADDR: HEX HEX ..." lines).
Image read_image(const std::string& path) {
  Image image;
  image.fill(0x00);
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    const std::size_t colon = line.find(':');
    if (line.empty() || line[0] == '#' || colon == std::string::npos) continue;
    std::size_t at = std::stoul(line.substr(0, colon), nullptr, 16);
    std::string digits;
    for (const char c : line.substr(colon + 1)) {
      if (c != ' ') digits += c;
    }
    for (const std::uint8_t byte : hex_to_bytes(digits)) {
      if (at < image.size()) image[at++] = byte;
    }
  }
  return image;
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class TransferEndToEnd : public ::testing::Test {
 protected:
  TransferEndToEnd() {
    copy_data_files(dir.path());
    sim::Device configured;
    load_known_configuration(configured);
    known = configured.memory().nv();
    dir.write("known.txt", image_text(known));
    Image erased;
    erased.fill(0xFF);
    dir.write("erased.txt", image_text(erased));
  }

  RunResult cli(const std::string& link, std::vector<std::string> args) {
    std::vector<std::string> all = {"--port", link, "--address", "2", "--workdir", dir.path()};
    all.insert(all.end(), args.begin(), args.end());
    return run_program(cli_binary(), all);
  }

  TempDir dir;
  Image known{};
};

TEST_F(TransferEndToEnd, UploadThenDownloadCopiesTheConfiguration) {
  const std::string source_link = dir.file("source");
  const std::string target_link = dir.file("target");
  SimOnPty source({"--image", dir.file("known.txt"), "--save-image", dir.file("source.txt"),
                   "--link", source_link});
  SimOnPty target({"--image", dir.file("erased.txt"), "--save-image", dir.file("target.txt"),
                   "--link", target_link});

  const RunResult upload = cli(source_link, {"upload", "-o", dir.file("conf.xml")});
  EXPECT_EQ(upload.status, 0) << upload.err;
  EXPECT_EQ(upload.out, "Operation finished\n");
  const std::string saved = read_file(dir.file("conf.xml"));
  EXPECT_EQ(xml_problem(saved), std::nullopt) << saved;

  const RunResult download = cli(target_link, {"download", dir.file("conf.xml")});
  EXPECT_EQ(download.status, 0) << download.err;
  EXPECT_EQ(download.out, "Operation finished\n");

  // Channel 3 reads the same from the file, the first device and the second.
  const RunResult from_file = cli(source_link, {"channel", "3", dir.file("conf.xml")});
  const RunResult from_source = cli(source_link, {"channel", "3"});
  const RunResult from_target = cli(target_link, {"channel", "3"});
  EXPECT_EQ(from_file.status, 0) << from_file.err;
  EXPECT_NE(from_file.out.find("Channel 3\n"), std::string::npos) << from_file.out;
  EXPECT_EQ(from_source.out, from_file.out);
  EXPECT_EQ(from_target.out, from_file.out);

  EXPECT_EQ(source.stop(), 0);
  EXPECT_EQ(target.stop(), 0);
  const Image first = read_image(dir.file("source.txt"));
  const Image second = read_image(dir.file("target.txt"));
  for (const auto& [address, length] : template_items()) {
    const Bytes expected(known.begin() + address, known.begin() + address + length);
    EXPECT_EQ(bytes_to_hex(Bytes(first.begin() + address, first.begin() + address + length)),
              bytes_to_hex(expected))
        << item_address_text(address);
    EXPECT_EQ(bytes_to_hex(Bytes(second.begin() + address, second.begin() + address + length)),
              bytes_to_hex(expected))
        << item_address_text(address);
  }
}

TEST_F(TransferEndToEnd, SectionsAndUsage) {
  const std::string link = dir.file("source");
  SimOnPty source({"--image", dir.file("known.txt"), "--link", link});

  const RunResult channels =
      cli(link, {"upload", "-o", dir.file("channels.cfg"), "--sections", "channels"});
  EXPECT_EQ(channels.status, 0) << channels.err;
  EXPECT_NE(channels.err.find("channels.xml"), std::string::npos) << "saved as .xml";
  const std::string saved = read_file(dir.file("channels.xml"));
  EXPECT_NE(saved.find("address=\"0x0750\""), std::string::npos);
  EXPECT_EQ(saved.find("address=\"0x0770\""), std::string::npos);
  EXPECT_EQ(saved.find("address=\"0x081A\""), std::string::npos);

  dir.write("plain.xml", "<MachineData/>\n");
  const RunResult wrong_format = cli(link, {"download", dir.file("plain.xml")});
  EXPECT_EQ(wrong_format.status, 1);
  EXPECT_NE(wrong_format.err.find("File format error"), std::string::npos) << wrong_format.err;

  for (const auto& args :
       std::vector<std::vector<std::string>>{{"upload"},
                                             {"upload", "-o", "x.xml", "--sections", "coins"},
                                             {"download"},
                                             {"download", "a.xml", "b.xml"},
                                             {"channel", "17"},
                                             {"channel"}}) {
    EXPECT_EQ(cli(link, args).status, 64) << args.back();
  }
}

}  // namespace
}  // namespace qv82::test
