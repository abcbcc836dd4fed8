#pragma once

#include <string>
#include <utility>
#include <vector>

#include "support/test_files.h"
#include "support/processes.h"
#include "support/temp_dir.h"

namespace qv82::test {

// A working folder holding the installation's data files, with qv82hs-cli
// run in it against qv82hs-sim on the linked pseudo-terminal `link`.
struct CliBench {
  CliBench() {
    copy_data_files(dir.path(), {"qv82hs.ini", "io.ini", "template.xml", "Production.ini"});
  }
  // The simulator's arguments for `link`, saving its memory image at exit when given a file.
  std::vector<std::string> sim(std::vector<std::string> args, const std::string& image = {}) const {
    args.insert(args.end(), {"--link", link});
    if (!image.empty()) args.insert(args.end(), {"--save-image", image});
    return args;
  }
  // The command line of qv82hs-cli for these arguments.
  std::vector<std::string> args(std::vector<std::string> command) const {
    command.insert(command.begin(), options.begin(), options.end());
    command.insert(command.begin(), {"--port", link, "--workdir", dir.path()});
    return command;
  }
  RunResult cli(std::vector<std::string> command) const {
    return run_program(cli_binary(), args(std::move(command)));
  }
  std::string file(const std::string& name) const { return dir.file(name); }

  TempDir dir;
  const std::string link = dir.file("qv82");
  // Given to every run; the simulator's default address spares the search.
  std::vector<std::string> options = {"--address", "2"};
};

}  // namespace qv82::test
