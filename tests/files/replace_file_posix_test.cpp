// A saved file keeps who may read and write it: a settings file shared by a
// group stays writable for the group.
#include <gtest/gtest.h>

#include <filesystem>

#include "files/ini_file.h"
#include "support/temp_dir.h"

namespace qv82::test {
namespace {

namespace fs = std::filesystem;

TEST(ReplaceFile, ASavedFileKeepsItsPermissions) {
  TempDir dir;
  dir.write("qv82hs.ini", "[SETTINGS]\nComPort=COM3\n");
  const std::string path = dir.file("qv82hs.ini");
  const fs::perms shared = fs::perms::owner_read | fs::perms::owner_write |
                           fs::perms::group_read | fs::perms::group_write;
  fs::permissions(path, shared);
  ASSERT_TRUE(IniFile(path).write_string("SETTINGS", "ComPort", "COM4"));
  EXPECT_EQ(dir.read("qv82hs.ini"), "[SETTINGS]\nComPort=COM4\n");
  EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, shared);
}

}  // namespace
}  // namespace qv82::test
