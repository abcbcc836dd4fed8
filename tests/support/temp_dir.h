#pragma once

#include <string>

namespace qv82::test {

// A folder of its own under the system's temporary directory, removed with
// everything in it when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // The path of a file in it ("a/b" below it too), in the system's own form.
  std::string file(const std::string& name) const;
  // Writes the text as the whole file.
  void write(const std::string& name, const std::string& text) const;
  // The whole file, "" when it is missing.
  std::string read(const std::string& name) const;

 private:
  std::string path_;
};

}  // namespace qv82::test
