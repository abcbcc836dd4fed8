#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <string>
#include <vector>

#include "app/application.h"
#include "sim/simulated_setup.h"
#include "support/fake_ui.h"
#include "ui/main_window.h"

namespace qv82::test {

// The main window over the simulated coin selector in virtual time, with the
// installation's data files in a scratch working directory and a scripted
// person at the bench.
struct WindowBench {
  WindowBench()
      : workdir(make_workdir(dir)), app(setup.line(), setup.clock(), ui, workdir), window(app) {}

  sim::VirtualClock& clock() { return dynamic_cast<sim::VirtualClock&>(setup.clock()); }

  std::vector<std::string> log_lines() const {
    return {window.log.lines().begin(), window.log.lines().end()};
  }

  static bool contains(const std::vector<std::string>& texts, const std::string& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
  }

  QTemporaryDir dir;
  sim::SimulatedSetup setup;
  FakeUi ui;
  std::string workdir;
  Application app;
  MainWindow window;

 private:
  static std::string make_workdir(const QTemporaryDir& dir) {
    for (const char* name : {kSettingsFileName, kIoFileName, kTemplateFileName}) {
      QFile::copy(QStringLiteral(QV82_SOURCE_DIR "/data/") + name, dir.filePath(name));
      QFile(dir.filePath(name)).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    }
    return QDir(dir.path()).absolutePath().toStdString();
  }
};

}  // namespace qv82::test
