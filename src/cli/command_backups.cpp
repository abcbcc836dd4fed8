#include <filesystem>

#include "cli/cli_context.h"
#include "cli/command_registry.h"
#include "lang/language.h"

namespace qv82::cli {

namespace {

// The backups made before each overwrite of a device, newest first, and
// the room they take. None is ever deleted by the program.
int run_backups(CliContext& context, const CommandArgs& args) {
  if (!args.empty()) {
    context.err << "usage: qv82hs-cli backups\n";
    return kExitUsage;
  }
  Backups& backups = context.app().backups;
  std::uintmax_t room = 0;
  const std::vector<BackupEntry> entries = backups.list();
  for (const BackupEntry& entry : entries) {
    context.out << entry.time << "  " << entry.serial << "  " << entry.items << " items  "
                << entry.path << "\n";
    room += entry.size;
  }
  context.out << entries.size() << (entries.size() == 1 ? " backup, " : " backups, ") << room
              << " bytes in " << backups.folder() << "\n";
  return kExitOk;
}

// A backup into the device, by default the newest of the connected one.
int run_restore(CliContext& context, const CommandArgs& args) {
  if (args.size() > 1) {
    context.err << "usage: qv82hs-cli restore [FILE]\n";
    return kExitUsage;
  }
  if (!args.empty() && !std::filesystem::is_regular_file(args[0])) {
    context.err << "qv82hs-cli: no such file: " << args[0] << "\n";
    return kExitFailed;
  }
  if (!context.connect_device(false)) return kExitFailed;
  Application& app = context.app();
  std::string path;
  if (args.empty()) {
    const std::vector<BackupEntry> entries = app.device_backups();
    if (entries.empty()) {
      context.ui().error(language_text(msg::kNoBackupsOfDevice) + " (" +
                         app.backups.device_serial() + ") in " + app.backups.folder());
      return kExitFailed;
    }
    path = entries.front().path;
  } else {
    path = args[0];
  }
  context.err << "Restoring " << path << "\n";
  if (!app.restore(path)) return context.data_error_shown() ? kExitData : kExitFailed;
  return kExitOk;
}

const CommandRegistrar backups_command(
    "backups", {"backups",
                "the backups saved before each write into a device, newest first (time, "
                "serial number, items), and the room they take",
                run_backups});

const CommandRegistrar restore_command(
    "restore", {"restore [FILE]",
                "writes a backup into the device with the read-back of every write, by "
                "default the newest backup of the connected device",
                run_restore});

}  // namespace

}  // namespace qv82::cli
