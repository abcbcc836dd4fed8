// qv82hs: the programming and configuration utility's main window.
//
//   qv82hs [--simulate] [--workdir DIR] [--port NAME] [--language CODE] [--version]
//
// --simulate talks to the built-in simulated coin selector in real time,
// --workdir names the folder of qv82hs.ini, io.ini and template.xml (default:
// see data_folder.h), --port tries that serial port first in the search,
// --language chooses the language for this run (EN, IT, HR).

#include <QApplication>
#include <QByteArray>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <iostream>
#include <memory>
#include <vector>

#include "app/application.h"
#include "app/data_folder.h"
#include "lang/language.h"
#include "link/errors.h"
#include "sim/simulated_setup.h"
#include "ui/main_window.h"
#include "ui/port/qt_event_pump.h"
#include "ui/port/qt_serial_port.h"
#include "ui/qt_ui.h"
#include "ui/statistics_page_widget.h"
#include "ui/window_shots.h"

namespace {

using namespace qv82;

// For unattended runs (--screenshot): messages go to stderr, questions and
// password prompts are answered with the safe choice.
class UnattendedUi : public Ui {
 public:
  void error(const std::string& text) override { std::cerr << "error: " << text << '\n'; }
  void information(const std::string& text) override { std::cerr << text << '\n'; }
  Answer question(const std::string& text, Buttons buttons) override {
    std::cerr << text << " -> no\n";
    return buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel ? Answer::No
                                                                        : Answer::Cancel;
  }
  std::optional<std::string> password(const std::string&, const std::string&,
                                      const Validator&) override {
    return std::nullopt;
  }
  bool choose_sections(const std::string&, ParameterTree&) override { return false; }
  std::optional<std::string> open_file(const std::string&) override { return std::nullopt; }
  std::optional<std::string> save_file(const std::string&) override { return std::nullopt; }
  void wait_cursor(bool) override {}
};

// The last line of defence for the errors that must reach the user: a port
// that vanishes under a dialog's own button or timer, say. The operation
// ends and the user reads why, instead of the program ending.
class GuardedApplication : public QApplication {
 public:
  using QApplication::QApplication;
  Ui* ui = nullptr;

  bool notify(QObject* receiver, QEvent* event) override {
    try {
      return QApplication::notify(receiver, event);
    } catch (const ConversionError& e) {
      report(e.what());
    } catch (const PortError& e) {
      report(e.what());
    }
    return false;
  }

 private:
  void report(const std::string& text) {
    if (ui != nullptr) {
      ui->error(text);
    } else {
      std::cerr << "error: " << text << '\n';
    }
  }
};

// Saves the window with each page of the notebook in front: FILE for the
// first page, FILE-1 ... FILE-4 for the others.
bool save_screenshots(MainWindow& window, const QString& file) {
  const QFileInfo info(file);
  QDir().mkpath(info.absolutePath());
  bool saved = true;
  for (int page = 0; page < window.pages->count(); ++page) {
    window.pages->setCurrentIndex(page);
    const QString name = page == 0 ? file
                                   : info.path() + "/" + info.completeBaseName() + "-" +
                                         QString::number(page) + "." + info.suffix();
    saved = window.grab().save(name) && saved;
  }
  window.pages->setCurrentIndex(0);
  return saved;
}

// The options of the command line, for --help and for the run.
struct Options {
  QCommandLineOption simulate{"simulate", "Talk to the built-in simulated coin selector."};
  QCommandLineOption workdir{"workdir", "Folder of the data files (default: see above).", "DIR"};
  QCommandLineOption port{"port", "Serial port to try first.", "NAME"};
  QCommandLineOption language{
      "language", "Language of the windows: EN, IT or HR (default: the remembered one).", "CODE"};
  QCommandLineOption screenshot{"screenshot", "Save the window after start-up and exit.", "FILE"};
  QCommandLineOption screenshot_size{"screenshot-size", "Size of the window for --screenshot.",
                                     "WIDTHxHEIGHT"};

  void add_to(QCommandLineParser& parser) {
    parser.setApplicationDescription(
        (QString("QV82HS programming and configuration utility\n\n") + data_folder_help())
            .trimmed());
    parser.addHelpOption();
    parser.addVersionOption();
    screenshot.setFlags(QCommandLineOption::HiddenFromHelp);
    screenshot_size.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOptions({simulate, workdir, port, language, screenshot, screenshot_size});
  }
};

void name_application() {
  QCoreApplication::setApplicationName("qv82hs");
  QCoreApplication::setApplicationVersion(kVersionText);
}

// --help and --version print and exit before any window exists, so they
// work without a display (over ssh, in a package's post-install check).
void answer_help_or_version(int& argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const QByteArray arg(argv[i]);
    if (arg == "--") return;
    if (arg == "-h" || arg == "--help" || arg == "-?" || arg == "--help-all" || arg == "-v" ||
        arg == "--version") {
      QCoreApplication core(argc, argv);
      name_application();
      QCommandLineParser parser;
      Options options;
      options.add_to(parser);
      parser.process(core);  // prints and exits
      return;
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  answer_help_or_version(argc, argv);
  GuardedApplication application(argc, argv);
  name_application();
  QApplication::setWindowIcon(QIcon::fromTheme("qv82hs"));

  QCommandLineParser parser;
  Options options;
  options.add_to(parser);
  const QCommandLineOption& simulate = options.simulate;
  const QCommandLineOption& workdir = options.workdir;
  const QCommandLineOption& port = options.port;
  const QCommandLineOption& screenshot = options.screenshot;
  const QCommandLineOption& screenshot_size = options.screenshot_size;
  parser.process(application);
  int language_base = 0;
  if (parser.isSet(options.language)) {
    language_base = language_base_of(parser.value(options.language).toStdString());
    if (language_base == 0) {
      std::cerr << "error: " << language_text(msg::kLanguageOptionValues) << "\n";
      return 1;
    }
    set_language_base(language_base);
  }

  QString data_folder = QDir::currentPath();
  std::vector<std::string> data_notices;
  if (parser.isSet(workdir)) {
    data_folder = QDir(parser.value(workdir)).absolutePath();
  } else {
    const DataFolderPlaces places = data_folder_places(
        data_folder.toStdString(), QApplication::applicationDirPath().toStdString());
    // What choosing the folder says is said in the language of its settings.
    if (language_base == 0) set_language_base(data_folder_language(places));
    const DataFolder chosen = choose_data_folder(places);
    if (!chosen.error.empty()) {
      QMessageBox::critical(nullptr, QString::fromStdString(language_text(msg::kErrorTitle)),
                            QString::fromStdString(chosen.error));
      return 1;
    }
    data_folder = QString::fromStdString(chosen.path);
    data_notices = chosen.notices;
  }

  QtEventPump pump;
  std::unique_ptr<sim::SimulatedSetup> simulation;
  std::unique_ptr<QtSerialPort> serial;
  SerialPort* line = nullptr;
  if (parser.isSet(simulate)) {
    sim::SetupOptions options;
    options.real_time = true;
    if (parser.isSet(port)) {
      const std::string name = parser.value(port).toStdString();
      options.ports = {name};
      options.device_port = name;
      options.open_port = name;
    }
    simulation = std::make_unique<sim::SimulatedSetup>(options);
    sim::RealTimeClock* clock = simulation->real_time_clock();
    pump.set_timed_source(
        {[clock] { return clock->us_until_next(); }, [clock] { clock->catch_up(); }});
    line = &simulation->line();
  } else {
    serial = std::make_unique<QtSerialPort>();
    if (parser.isSet(port)) serial->set_extra_ports({parser.value(port).toStdString()});
    serial->set_note_handler([](const std::string& note) { std::cerr << note << '\n'; });
    line = serial.get();
  }

  const bool unattended = parser.isSet(screenshot);
  // An unattended run must not stop at a box nobody closes.
  for (const std::string& notice : data_notices) {
    if (unattended) {
      std::cerr << notice << '\n';
    } else {
      QMessageBox::information(nullptr,
                               QString::fromStdString(language_text(msg::kInformationTitle)),
                               QString::fromStdString(notice));
    }
  }
  QtUi windows_ui;
  UnattendedUi unattended_ui;
  Ui& ui = unattended ? static_cast<Ui&>(unattended_ui) : windows_ui;
  application.ui = &ui;

  Application app(*line, pump, ui, data_folder.toStdString());
  app.language_option = language_base;
  set_language_base(app.chosen_language());
  MainWindow window(app);
  windows_ui.set_parent(&window);
  if (parser.isSet(screenshot_size)) {
    const QStringList size = parser.value(screenshot_size).split('x');
    const int width = size.size() == 2 ? size[0].toInt() : 0;
    const int height = size.size() == 2 ? size[1].toInt() : 0;
    if (width <= 0 || height <= 0) {
      std::cerr << "error: --screenshot-size takes WIDTHxHEIGHT, for example 1366x700\n";
      return 1;
    }
    window.resize(width, height);
  }

  if (unattended) {
    const QString file = parser.value(screenshot);
    // Start-up runs from the first show; the shot is taken once it is over
    // and the window has painted.
    QObject::connect(&window, &MainWindow::activated, &window, [&](bool started) {
      QTimer::singleShot(300, &window, [&, started] {
        // The statistics page as "Read" leaves it: rows and chart from the device.
        if (started) window.statistics_page->read_button->click();
        const bool saved = save_screenshots(window, file);
        if (!saved) std::cerr << "error: cannot save " << file.toStdString() << '\n';
        // The other windows need the simulated device: it takes their coins and faults.
        const bool windows_saved =
            !started || !simulation || save_window_shots(window, simulation->device(), file);
        QApplication::exit(started && saved && windows_saved ? 0 : 1);
      });
    });
  }
  window.show();
  const int code = QApplication::exec();
  application.ui = nullptr;
  return code;
}
