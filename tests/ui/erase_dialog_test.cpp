#include "support/gui_test_main.h"
#include "ui/erase_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

#include "channels/channels_page.h"
#include "link/errors.h"
#include "stats/erasing.h"
#include "support/selector_bench.h"
#include "ui/statistics_page_widget.h"
#include "virtual_events.h"
#include "window_bench.h"

namespace qv82::test {

namespace {

// A port whose adapter was pulled out: every write fails.
class UnpluggedPort : public SerialPort {
 public:
  void open() override {}
  void close() override {}
  bool connected() const override { return true; }
  void set_port_name(const std::string&) override {}
  std::string port_name() const override { return "USB0"; }
  void set_baud_rate(int) override {}
  int baud_rate() const override { return 9600; }
  std::size_t write(const Bytes&) override {
    throw PortError(port_write_failure("USB0", "Input/output error"));
  }
  Bytes read(std::size_t) override { return {}; }
  std::vector<std::string> list_ports() override { return {"USB0"}; }
};

}  // namespace

class EraseDialogTest : public QObject {
  Q_OBJECT

 private slots:
  // Each counter is named as the statistics page names it, also after the
  // page's options changed.
  void statisticsAreNamedAsOnTheirPage() {
    WindowBench bench;
    QVERIFY(bench.window.start_up_once());
    StatisticsPageWidget& page = *bench.window.statistics_page;
    page.read_button->click();
    QVERIFY(bench.app.configuration.statistics.select_option(5, "Coin jams"));
    page.render();
    EraseDialog& dialog = *bench.window.erase_dialog;
    dialog.show();
    QCOMPARE(dialog.statistic_boxes[4]->text(), QString("5. Coin jams"));
    for (int i = 0; i < kErasableCounters; ++i) {
      QCOMPARE(dialog.statistic_boxes[i]->text(),
               QString::number(i + 1) + ". " + page.settings[i]->currentText());
    }
    QCOMPARE(dialog.channel_boxes[15]->text(), QString("16"));
    dialog.close_button->click();
    QVERIFY(!dialog.isVisible());
  }

  // The error travels on to the application's handler, which shows it; the
  // dialog must still close afterwards.
  void portErrorDuringEraseLeavesCloseWorking() {
    SelectorBench bench;
    UnpluggedPort port;
    CcTalkLink link(port, bench.setup.clock());
    CoinSelector selector(link, bench.state, bench.ui, bench.settings);
    bench.state.access_masks = {0xFF, 0xFF, 0xFF, 0xFF};
    ChannelsPage page(bench.state.channel_buffer);
    Erasing erasing(selector, page, bench.ui);
    EraseDialog dialog(erasing);
    dialog.show();
    dialog.channel_boxes[0]->click();
    bench.ui.answers = {Answer::Yes};

    QVERIFY_THROWS_EXCEPTION(PortError, dialog.erase_selected());
    QVERIFY(dialog.isVisible());
    dialog.close_button->click();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int{QDialog::Rejected});
  }

  // While the writes go on the dialog shows how far they are, takes no
  // clicks and cannot be closed; a refusal half-way leaves the device
  // running what it had stored.
  void runShowsProgressAndRefusalRestartsWithoutStoring() {
    for (const bool refused : {false, true}) {
      SelectorBench bench;
      QVERIFY(bench.selector.identify_device());
      ChannelsPage page(bench.state.channel_buffer);
      Erasing erasing(bench.selector, page, bench.ui);
      EraseDialog dialog(erasing);
      dialog.show();
      for (int n : {0, 2, 4}) dialog.channel_boxes[n]->click();
      dialog.statistic_boxes[1]->click();
      const sim::Memory::Image stored = bench.device().memory().nv();
      if (refused) {
        bench.device().faults().nak_prefix = {0xFF, 0x03};
        bench.device().faults().nak_prefix_after = 2;
      }
      VirtualEvents events(dynamic_cast<sim::VirtualClock&>(bench.setup.clock()));
      std::vector<int> progress;
      bool controls_off = true;
      bool stayed_open = true;
      for (std::uint64_t at = 40; at < 400; at += 40) {
        events.at_ms(events.now_ms() + at, [&] {
          if (!erasing.running) return;
          progress.push_back(dialog.progress->value());
          controls_off = controls_off && !dialog.erase_button->isEnabled() &&
                         !dialog.close_button->isEnabled() && !dialog.channel_boxes[1]->isEnabled();
          static_cast<QDialog&>(dialog).reject();  // Escape
          dialog.close();
          stayed_open = stayed_open && dialog.isVisible();
          QCOMPARE(dialog.progress->maximum(), 4);
        });
      }
      bench.ui.answers = {Answer::Yes};
      dialog.erase_button->click();

      QVERIFY(progress.size() > 2);
      QVERIFY(std::is_sorted(progress.begin(), progress.end()));
      QVERIFY(controls_off);
      QVERIFY(stayed_open);
      QVERIFY(dialog.erase_button->isEnabled() && dialog.channel_boxes[1]->isEnabled());
      QVERIFY(!dialog.progress->isVisible());
      QCOMPARE(dialog.isVisible(), refused);
      if (refused) {
        QCOMPARE(bench.ui.errors(),
                 std::vector<std::string>{
                     "Error erase channels\n2 of 4 items were written; none was stored.\n"
                     "The coin selector was restarted and runs its stored configuration again."});
        QVERIFY(bench.device().memory().ram() == stored);
      } else {
        QCOMPARE(bench.ui.informations(), std::vector<std::string>{"Operation finished"});
      }
      QVERIFY(bench.device().memory().nv() != stored || refused);
    }
  }
};

}  // namespace qv82::test

QV82_GUI_TEST_MAIN(qv82::test::EraseDialogTest)
#include "erase_dialog_test.moc"
