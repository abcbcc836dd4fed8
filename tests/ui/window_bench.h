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
// installation's data files in a scratch working directory (only the given
// settings file, or none, when settings is not the installation's) and a
// scripted person at the bench.
struct WindowBench {
  static constexpr const char* kInstalledSettings = QV82_SOURCE_DIR "/data/qv82hs.ini";

  explicit WindowBench(const std::string& settings = kInstalledSettings)
      : workdir(make_workdir(dir, settings)),
        app(setup.line(), setup.clock(), ui, workdir),
        window(app) {}

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
  static std::string make_workdir(const QTemporaryDir& dir, const std::string& settings) {
    if (!settings.empty()) {
      QFile::copy(QString::fromStdString(settings), dir.filePath(kSettingsFileName));
      QFile(dir.filePath(kSettingsFileName)).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    }
    if (settings == kInstalledSettings) {
      for (const char* name : {kIoFileName, kTemplateFileName}) {
        QFile::copy(QStringLiteral(QV82_SOURCE_DIR "/data/") + name, dir.filePath(name));
      }
    }
    return QDir(dir.path()).absolutePath().toStdString();
  }
};

}  // namespace qv82::test
