// Every reader the windows use refuses a device, a pipe, a folder and a
// file too large for its kind, with the reason, without blocking or reading
// without end; nothing already loaded is lost.
#include <gtest/gtest.h>

#include "files/ini_file.h"
#include "config/transfer_bench.h"
#include "firmware/firmware_image.h"
#include "support/hostile_files.h"

namespace qv82::test {
namespace {

TEST(HostileFiles, EveryReaderRefusesWhatIsNoFileOfItsKind) {
  HostileFiles files;
  const std::string not_regular = "it is not a regular file";
  struct Case {
    const std::string& file;
    std::string reason;
  };
  const Case cases[] = {
      {files.device, not_regular},
      {files.pipe, not_regular},
      {files.folder, "it is a folder"},
      {files.large, "it is larger than 4 MiB"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    PipeUnblocker unblocker(files.pipe);

    // File Open, as the tool bar runs it: the error names the file and the
    // reason, and the tree keeps the template.
    ConfigBench bench;
    const std::size_t nodes = bench.tree().node_count();
    bench.ui.open_files.push_back(c.file);
    EXPECT_FALSE(bench.app.open_file());
    ASSERT_EQ(bench.ui.errors().size(), 1u);
    EXPECT_NE(bench.ui.errors()[0].find(c.file), std::string::npos) << bench.ui.errors()[0];
    EXPECT_NE(bench.ui.errors()[0].find(c.reason), std::string::npos) << bench.ui.errors()[0];
    EXPECT_EQ(bench.tree().node_count(), nodes);

    // The firmware window reads its image through this.
    const FirmwareImageResult image = read_firmware_image(c.file);
    EXPECT_FALSE(image.image);
    EXPECT_NE(image.error.find(c.reason), std::string::npos) << image.error;

    // A template that is no file.
    try {
      bench.tree().load_file(c.file);
      ADD_FAILURE() << "loaded";
    } catch (const XmlError& e) {
      EXPECT_NE(std::string(e.what()).find(c.file), std::string::npos) << e.what();
    }
    EXPECT_EQ(bench.tree().node_count(), nodes);

    // Settings read as empty, and are not written over. Never tried on the
    // device: a writer that wrongly went ahead would put a file in place of
    // /dev/zero for the whole machine.
    IniFile settings(c.file);
    EXPECT_EQ(settings.section_names(), std::vector<std::string>{});
    if (&c.file != &files.device) {
      EXPECT_FALSE(settings.write_string("SETTINGS", "ComPort", "COM1"));
      EXPECT_NE(settings.last_error().find(c.reason), std::string::npos) << settings.last_error();
    }
  }
}

}  // namespace
}  // namespace qv82::test
