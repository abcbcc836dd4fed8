// The coin programming window from the tool bar over the simulated coin selector: its 150 ms
// tick fetches the coins inserted into the simulator, its buttons save and close.
#include "ui/cprg_frm.h"

#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "channels/channels_page.h"
#include "channels/coin_programming.h"
#include "ui/channels_page_widget.h"
#include "window_bench.h"

namespace qv82::test {

namespace {

constexpr std::uint16_t kChannelsAddress = 0x0570;

std::uint16_t channel_address(int n) {
  return static_cast<std::uint16_t>(kChannelsAddress + 32 * (n - 1));
}

Bytes nv_channel(WindowBench& bench, int n) {
  const auto& nv = bench.setup.device().memory().nv();
  return Bytes(nv.begin() + channel_address(n), nv.begin() + channel_address(n) + 32);
}

sim::Measurement all(std::uint8_t v) {
  sim::Measurement m;
  m.fill(v);
  return m;
}

// Presses "Coins prog." and, once the window is up and sampling, runs drive inside it. The
// window is closed afterwards if drive left it open (a failed check returns early).
bool run_window(WindowBench& bench, const std::function<void(TCprgFrm&)>& drive) {
  TCprgFrm& window = *bench.window.CprgFrm;
  bool driven = false;
  QTimer start;
  start.setSingleShot(true);
  QObject::connect(&start, &QTimer::timeout, &window, [&] {
    const auto sampling = [&] {
      QTRY_VERIFY(window.model().tick_running());
      drive(window);
    };
    sampling();
    driven = true;
    if (window.isVisible()) window.close();
  });
  start.start(0);
  bench.window.SpeedButton1->trigger();
  return driven && !window.isVisible();
}

}  // namespace

class CprgFrmTest : public QObject {
  Q_OBJECT

 private slots:
  void storedValueAboveThreeDigitsIsShownAndSavedUnchanged() {
    WindowBench bench;
    QVERIFY(bench.window.FormActivate());
    // Channel 2 holds a coin worth 1000, enabled.
    Bytes record(32, 50);
    std::fill(record.begin() + 13, record.begin() + 26, 5);
    record[26] = 0x70;
    record[27] = 2;
    record[28] = 1;
    record[29] = 0xC4;
    record[30] = 0x03;
    record[31] = 0xE8;
    bench.setup.device().memory().poke(channel_address(2), record);
    bench.ui.clear();
    bench.ui.answers = {Answer::Ok, Answer::Yes};  // save channel 2; store on Close

    QVERIFY(run_window(bench, [&](TCprgFrm& w) {
      w.SpinEdit15->setValue(2);
      QCOMPARE(w.val_edit->value(), 1000);
      QCOMPARE(w.val_edit->text(), QString("1000"));

      bench.setup.device().insert_measurement(all(60));
      QTRY_COMPARE(w.ListBox1->count(), 1);
      QCOMPARE(w.parameter_edits[0]->value(), 60);
      QCOMPARE(w.val_edit->value(), 1000);
      w.Button4->click();
      QCOMPARE(w.SpinEdit15->value(), 3);  // moved on after the save

      // What the user types is still held to three digits up to 255.
      w.val_edit->selectAll();
      QTest::keyClicks(w.val_edit, "1000");
      QCOMPARE(w.val_edit->value(), 100);
      w.val_edit->selectAll();
      QTest::keyClicks(w.val_edit, "256");
      QCOMPARE(w.val_edit->value(), 25);
      w.Button1->click();
    }));

    QCOMPARE(bench.ui.questions(),
             (std::vector<std::string>{"Press OK to save channel 2", "Save data to NV memory?"}));
    QVERIFY(bench.ui.errors().empty());
    const Bytes saved = nv_channel(bench, 2);
    QCOMPARE(saved[0], std::uint8_t{60});
    QCOMPARE(saved[30], std::uint8_t{0x03});
    QCOMPARE(saved[31], std::uint8_t{0xE8});
  }

  void channelSavedOnCloseIsWhatTheChannelsPageShows() {
    WindowBench bench;
    QVERIFY(bench.window.FormActivate());
    ChannelsPageWidget& page = *bench.window.channels_page;
    QCOMPARE(page.SpinEdit1->value(), 1);
    const int before = page.parameters[0]->value();
    QVERIFY(before != 77);
    bench.ui.clear();
    // "Data not saved! Save now to channel 1 ?" Yes, "Save data to NV memory?" Yes.
    bench.ui.answers = {Answer::Yes, Answer::Yes};

    QVERIFY(run_window(bench, [&](TCprgFrm& w) {
      QCOMPARE(w.SpinEdit15->value(), 1);
      bench.setup.device().insert_measurement(all(77));
      QTRY_COMPARE(w.ListBox1->count(), 1);
      w.Button1->click();
    }));

    QVERIFY(bench.ui.errors().empty());
    QCOMPARE(bench.ui.questions().size(), std::size_t{2});
    const Bytes stored = nv_channel(bench, 1);
    QCOMPARE(stored[0], std::uint8_t{77});
    // The page shows the new coin, so taking it for a Download keeps the new record.
    QCOMPARE(page.parameters[0]->value(), 77);
    ChannelsPage& channels = bench.app.configuration.channels;
    channels.take_channel(1);
    QCOMPARE(channels.channel_buffer[0], stored);
  }
};

}  // namespace qv82::test

QTEST_MAIN(qv82::test::CprgFrmTest)
#include "cprg_frm_test.moc"
