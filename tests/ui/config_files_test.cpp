// Configuration files through the main window: what the user edits reaches
// the saved file, and damaged or partial files change nothing they do not hold.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>

#include "support/gui_test_main.h"
#include "support/test_files.h"
#include "ui/channels_page_widget.h"
#include "ui/config_page.h"
#include "ui/config_page_widgets.h"
#include "ui/configuration_name_dialog.h"
#include "window_bench.h"

namespace qv82::test {

namespace {

void write_file(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// A file from the bench's template holding only the given items (address text -> data).
std::string make_file(const WindowBench& bench, const std::map<std::string, std::string>& items) {
  std::istringstream lines(file_text(bench.workdir + "/template.xml"));
  std::string out;
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::size_t data_end = line.find("</Data>");
    if (data_end != std::string::npos) {
      const std::size_t at = line.find("address=\"");
      const auto item = items.find(line.substr(at + 9, 6));
      if (item == items.end()) continue;
      line = line.substr(0, data_end) + item->second + "</Data>";
    }
    out += line + "\r\n";
  }
  return out;
}

// The data of the item at the address in a saved file, if it holds the item.
std::optional<std::string> item_in_file(const std::string& path, const std::string& address) {
  std::istringstream lines(file_text(path));
  std::string line;
  while (std::getline(lines, line)) {
    if (line.find("address=\"" + address + "\"") == std::string::npos) continue;
    const std::size_t begin = line.find('>') + 1;
    return line.substr(begin, line.find("</Data>") - begin);
  }
  return std::nullopt;
}

Bytes device_bytes(WindowBench& bench, std::uint16_t address, std::size_t length) {
  return bench.setup.device().memory().read(address, length);
}

const std::string kChannel(64, 'A');

// File Save into the working folder under the name; the file's path.
std::string save(WindowBench& bench, const std::string& name) {
  const std::string path = bench.workdir + "/" + name;
  bench.ui.save_files.push_back(path);
  bench.window.save_file_action->trigger();
  return path;
}

void open(WindowBench& bench, const std::string& path) {
  bench.ui.open_files.push_back(path);
  bench.window.open_file_action->trigger();
}

}  // namespace

class ConfigFilesTest : public QObject {
  Q_OBJECT

 private slots:
  // A stored configuration becomes a section of qv82hs.ini: a name that would break the file or
  // take the program's own section is refused and the file stays as it was.
  void standardConfigurationNameMustFitTheSettingsFile() {
    struct Case {
      const char* name;
      bool stored;
    };
    const Case cases[] = {
        {"A=B", false}, {"SETTINGS", false}, {"Shop 2", true},
    };
    for (const Case& c : cases) {
      WindowBench bench;
      QVERIFY(bench.window.start_up_once());
      const std::string settings = bench.workdir + "/qv82hs.ini";
      const std::string before = file_text(settings);
      ConfigPage& page = *bench.window.config_page;
      page.edit->setChecked(true);
      bench.ui.answers.push_back(Answer::Yes);  // "Are you sure?"
      ConfigurationNameDialog* dialog = bench.window.configuration_name_dialog;
      QTimer::singleShot(0, dialog, [dialog, &c] {
        dialog->name_edit->setText(QString::fromUtf8(c.name));
        dialog->confirm();
        if (dialog->isVisible()) dialog->reject();  // refused: the person gives up
      });
      page.store_button->click();
      const bool listed = page.versions->findText(QString::fromUtf8(c.name)) >= 0;
      QCOMPARE(listed, c.stored);
      if (c.stored) {
        QVERIFY(file_text(settings).find("[Shop 2]") != std::string::npos);
        QVERIFY(bench.ui.errors().empty());
      } else {
        QCOMPARE(file_text(settings), before);
        QCOMPARE(bench.ui.errors().size(), std::size_t{1});
      }
    }
  }

  // Upload says "Operation finished" over the values just read, not over the old page. An edit
  // of the channel on display, saved without leaving it, is in the file and comes back with
  // File Open (321 = 0141, 777 = 0309 at byte 30 of channel 1).
  void savedFileKeepsTheEditOnDisplay() {
    WindowBench bench;
    QVERIFY(bench.window.start_up_once());
    QSpinBox& value = *bench.window.channels_page->record->value_box;
    bench.setup.device().memory().poke(0x0570 + 30, Bytes{0x01, 0x41});
    bench.ui.clear();
    int shown = -1;
    bench.ui.on_shown = [&](const FakeUi::Shown&) { shown = value.value(); };
    bench.window.upload_action->trigger();
    bench.ui.on_shown = nullptr;
    QCOMPARE(bench.ui.informations(), std::vector<std::string>{"Operation finished"});
    QCOMPARE(shown, 321);

    value.setValue(777);
    const std::string path = save(bench, "edited.xml");
    QCOMPARE(item_in_file(path, "0x0570").value_or("").substr(60, 4), std::string("0309"));
    bench.window.upload_action->trigger();
    QCOMPARE(value.value(), 321);
    open(bench, path);
    QVERIFY(bench.ui.errors().empty());
    QCOMPARE(value.value(), 777);
  }

  // Channel 3 edited and on display, channel 5 alone opened: the page and a save keep the edit
  // (321 = 0141 at byte 30) beside the load.
  void loadingOtherChannelsKeepsTheEditOnDisplay() {
    WindowBench bench;
    QVERIFY(bench.window.start_up_once());
    ChannelsPageWidget& page = *bench.window.channels_page;
    page.channel_number_box->setValue(3);
    page.record->value_box->setValue(321);
    write_file(bench.workdir + "/5.xml", make_file(bench, {{"0x05F0", kChannel}}));
    open(bench, bench.workdir + "/5.xml");
    QVERIFY(bench.ui.errors().empty());
    QCOMPARE(page.record->value_box->value(), 321);
    const std::string saved = save(bench, "saved.xml");
    QCOMPARE(item_in_file(saved, "0x05B0").value_or("").substr(60, 4), std::string("0141"));
    QVERIFY(item_in_file(saved, "0x05F0").has_value());
  }

  // A refused file changes nothing, so a Download afterwards cannot write it; a sound item
  // beside the damaged one does not get through either.
  void damagedFileIsRefusedAndLeavesEverythingAsBefore() {
    WindowBench bench;
    QVERIFY(bench.window.start_up_once());
    const std::string path = bench.workdir + "/damaged.xml";
    write_file(path, make_file(bench, {{"0x0570", kChannel}, {"0x0590", std::string(65, 'A')}}));
    const Bytes before = device_bytes(bench, 0x0570, 64);
    open(bench, path);
    QCOMPARE(bench.ui.errors(),
             std::vector<std::string>{"Damaged item \"Channel 2\" (0x0590): expected 64 hex digits, "
                                      "found 65 hex digits"});
    bench.window.download_action->trigger();
    QCOMPARE(device_bytes(bench, 0x0570, 64), before);
  }

  // The dialog asked about the name typed; the ".xml" name may be another file.
  void saveAsksBeforeReplacingAnotherXmlFile() {
    struct Case {
      const char* typed;
      std::optional<Answer> answer;  // nothing: no question expected
      bool replaced;
    };
    const Case cases[] = {
        {"conf", Answer::No, false},
        {"conf.txt", Answer::No, false},
        {"conf.txt", Answer::Yes, true},
        {"conf.xml", std::nullopt, true},
    };
    for (const Case& c : cases) {
      WindowBench bench;
      QVERIFY(bench.window.start_up_once());
      const std::string existing = bench.workdir + "/conf.xml";
      write_file(existing, "keep");
      bench.window.upload_action->trigger();  // something to save
      if (c.answer) bench.ui.answers.push_back(*c.answer);
      save(bench, c.typed);
      QCOMPARE(bench.ui.questions().size(), std::size_t{c.answer ? 1u : 0u});
      QCOMPARE(file_text(existing) != "keep", c.replaced);
    }
  }

  // The standard configuration start-up shows is a loaded section: File Save
  // and Download take it as shown, and it alone.
  void startUpConfigurationIsSavedAndDownloaded() {
    WindowBench bench;
    QVERIFY(bench.window.start_up_once());
    sim::Memory& memory = bench.setup.device().memory();
    memory.poke(0x0770, Bytes(0x40, 0xFF));
    memory.poke(0x07F0, Bytes(0x26, 0xFF));

    const std::string saved = save(bench, "start.xml");
    QVERIFY(bench.ui.errors().empty());
    QCOMPARE(item_in_file(saved, "0x0770").value_or(""), std::string("000003000000140A"));
    QCOMPARE(item_in_file(saved, "0x07A0").value_or(""), std::string("80000000000000FF"));
    QVERIFY(!item_in_file(saved, "0x0570"));
    bench.window.download_action->trigger();
    QVERIFY(bench.contains(bench.ui.informations(), "Operation finished"));
    QCOMPARE(bytes_to_hex(device_bytes(bench, 0x0770, 8)), std::string("000003000000140A"));
    QCOMPARE(bytes_to_hex(device_bytes(bench, 0x07A0, 8)), std::string("80000000000000FF"));
  }
};

}  // namespace qv82::test

QV82_GUI_TEST_MAIN(qv82::test::ConfigFilesTest)
#include "config_files_test.moc"
