// qv82hs-cli uploads the configuration of one qv82hs-sim into a file and
// downloads that file into a second, erased one, over pseudo-terminals; the
// two memory images the simulators save at exit then agree on every item of
// the template.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "cli/well_formed_xml.h"
#include "config/transfer_bench.h"
#include "sim/image_file.h"
#include "support/processes.h"
#include "support/sim_fixture.h"

namespace qv82::test {
namespace {

using Image = sim::Memory::Image;

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class TransferEndToEnd : public ::testing::Test {
 protected:
  TransferEndToEnd() {
    copy_data_files(dir);
    sim::Device configured;
    load_known_configuration(configured);
    known = configured.memory().nv();
    Image erased;
    erased.fill(0xFF);
    std::string error;
    EXPECT_TRUE(sim::save_image_file(dir + "/known.txt", known, error)) << error;
    EXPECT_TRUE(sim::save_image_file(dir + "/erased.txt", erased, error)) << error;
  }

  RunResult cli(const std::string& link, std::vector<std::string> args) {
    std::vector<std::string> all = {"--port", link, "--address", "2", "--workdir", dir};
    all.insert(all.end(), args.begin(), args.end());
    return run_program(cli_binary(), all);
  }

  const std::string dir = make_temp_dir();
  Image known{};
};

TEST_F(TransferEndToEnd, UploadThenDownloadCopiesTheConfiguration) {
  const std::string source_link = dir + "/source";
  const std::string target_link = dir + "/target";
  SimOnPty source(
      {"--image", dir + "/known.txt", "--save-image", dir + "/source.txt", "--link", source_link});
  SimOnPty target(
      {"--image", dir + "/erased.txt", "--save-image", dir + "/target.txt", "--link", target_link});

  const RunResult upload = cli(source_link, {"upload", "-o", dir + "/conf.xml"});
  EXPECT_EQ(upload.status, 0) << upload.err;
  EXPECT_EQ(upload.out, "Operation finished\n");
  const std::string saved = read_file(dir + "/conf.xml");
  EXPECT_EQ(xml_problem(saved), std::nullopt) << saved;

  const RunResult download = cli(target_link, {"download", dir + "/conf.xml"});
  EXPECT_EQ(download.status, 0) << download.err;
  EXPECT_EQ(download.out, "Operation finished\n");

  EXPECT_EQ(source.stop(), 0);
  EXPECT_EQ(target.stop(), 0);
  const Image first = saved_image(dir + "/source.txt");
  const Image second = saved_image(dir + "/target.txt");
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
  const std::string link = dir + "/source";
  SimOnPty source({"--image", dir + "/known.txt", "--link", link});

  const RunResult channels =
      cli(link, {"upload", "-o", dir + "/channels.cfg", "--sections", "channels"});
  EXPECT_EQ(channels.status, 0) << channels.err;
  EXPECT_NE(channels.err.find("channels.xml"), std::string::npos) << "saved as .xml";
  const std::string saved = read_file(dir + "/channels.xml");
  EXPECT_NE(saved.find("address=\"0x0750\""), std::string::npos);
  EXPECT_EQ(saved.find("address=\"0x0770\""), std::string::npos);
  EXPECT_EQ(saved.find("address=\"0x081A\""), std::string::npos);

  const RunResult last = cli(link, {"channel", "16", dir + "/channels.xml"});
  EXPECT_EQ(last.status, 0) << last.err;
  EXPECT_NE(last.out.find("Channel 16\n"), std::string::npos) << last.out;

  std::ofstream(dir + "/plain.xml") << "<MachineData/>\n";
  const RunResult wrong_format = cli(link, {"download", dir + "/plain.xml"});
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
