#include "ui/erase_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>
#include <algorithm>

#include "channels/channel_record.h"
#include "channels/channels_page.h"
#include "link/errors.h"
#include "link/memory_map.h"
#include "stats/erasing.h"
#include "support/gui_test_main.h"
#include "support/selector_bench.h"
#include "ui/statistics_page_widget.h"
#include "virtual_events.h"
#include "window_bench.h"

namespace qv82::test {

namespace {

constexpr std::uint16_t kCounterTwo = 0x0833;

// The numbers the boxes start with, in the order a person reads them:
// channels row by row, statistics column by column.
template <std::size_t N>
QStringList numbers_as_read(const std::array<QCheckBox*, N>& boxes, bool by_columns) {
  QApplication::processEvents();
  std::vector<QCheckBox*> sorted(boxes.begin(), boxes.end());
  std::sort(sorted.begin(), sorted.end(), [by_columns](QCheckBox* a, QCheckBox* b) {
    const QPoint p = a->mapToGlobal(QPoint(0, 0));
    const QPoint q = b->mapToGlobal(QPoint(0, 0));
    return by_columns ? std::pair(p.x(), p.y()) < std::pair(q.x(), q.y())
                      : std::pair(p.y(), p.x()) < std::pair(q.y(), q.x());
  });
  QStringList numbers;
  for (QCheckBox* box : sorted) numbers << box->text().section('.', 0, 0);
  return numbers;
}

}  // namespace

class EraseDialogTest : public QObject {
  Q_OBJECT

 private slots:
  // Each counter is named as the statistics page names it, also after the
  // page's options changed, and the boxes read 1, 2, 3... where they stand.
  void boxesAreNumberedInOrderAndNamedAsOnTheStatisticsPage() {
    WindowBench bench;
    QVERIFY(bench.window.start_up_once());
    StatisticsPageWidget& page = *bench.window.statistics_page;
    page.read_button->click();
    QVERIFY(bench.app.configuration.statistics.select_option(5, "Coin jams"));
    page.render();
    EraseDialog& dialog = *bench.window.erase_dialog;
    dialog.show();
    for (int i = 0; i < kErasableCounters; ++i) {
      QCOMPARE(dialog.statistic_boxes[i]->text(),
               QString::number(i + 1) + ". " + page.settings[i]->currentText());
    }
    QStringList one_to_n;
    for (int i = 1; i <= kErasableCounters; ++i) one_to_n << QString::number(i);
    QCOMPARE(numbers_as_read(dialog.channel_boxes, false), one_to_n.mid(0, kChannelCount));
    QCOMPARE(numbers_as_read(dialog.statistic_boxes, true), one_to_n);
  }

  // A pulled adapter: the error travels on to the application's handler, which shows it;
  // the dialog must still close afterwards.
  void portErrorDuringEraseLeavesCloseWorking() {
    SelectorBench bench;
    QVERIFY(bench.selector.identify_device());
    ChannelsPage page(bench.state.channel_buffer);
    Erasing erasing(bench.selector, page, bench.ui);
    EraseDialog dialog(erasing);
    dialog.show();
    dialog.channel_boxes[0]->click();
    bench.ui.answers = {Answer::Yes};
    bench.setup.line().remove_port("SIM");
    QVERIFY_THROWS_EXCEPTION(PortError, dialog.erase_selected());
    QVERIFY(dialog.isVisible());
    dialog.close_button->click();
    QVERIFY(!dialog.isVisible());
  }

  // The boxes of channels 1, 3 and 5 erase those channels on the device. While the writes go on
  // the dialog shows how far they are, takes no clicks and cannot be closed; after a refusal
  // half-way it stays open and the device keeps every channel it had stored.
  void ticksEraseTheChannelsTheyNameAndARefusalStoresNothing() {
    for (const bool refused : {false, true}) {
      SelectorBench bench;
      QVERIFY(bench.selector.identify_device());
      ChannelsPage page(bench.state.channel_buffer);
      Erasing erasing(bench.selector, page, bench.ui);
      EraseDialog dialog(erasing);
      dialog.show();
      for (const int box : {0, 2, 4}) dialog.channel_boxes[box]->click();
      dialog.statistic_boxes[1]->click();
      bench.device().memory().poke(kCounterTwo, Bytes(3, 0x22));
      if (refused) bench.device().faults().nak = {{.prefix = {0xFF, 0x03}, .after = 2}};
      VirtualEvents events(dynamic_cast<sim::VirtualClock&>(bench.setup.clock()));
      std::vector<int> progress;
      bool locked = true;
      for (std::uint64_t at = 40; at < 400; at += 40) {
        events.at_ms(events.now_ms() + at, [&] {
          if (!erasing.running) return;
          progress.push_back(dialog.progress->value());
          static_cast<QDialog&>(dialog).reject();  // Escape
          dialog.close();                          // the title bar
          locked = locked && !dialog.erase_button->isEnabled() &&
                   !dialog.close_button->isEnabled() && dialog.isVisible();
        });
      }
      bench.ui.answers = {Answer::Yes};
      dialog.erase_button->click();

      QVERIFY(progress.size() > 2 && std::is_sorted(progress.begin(), progress.end()));
      QVERIFY(locked && dialog.erase_button->isEnabled());
      QCOMPARE(dialog.isVisible(), refused);
      QCOMPARE(bench.ui.errors().size(), std::size_t{refused ? 1u : 0u});
      const auto& nv = bench.device().memory().nv();
      QCOMPARE(Bytes(nv.begin() + kCounterTwo, nv.begin() + kCounterTwo + 3), Bytes(3, refused ? 0x22 : 0));
      for (int n = 1; n <= 6; ++n) {
        const Bytes record(nv.begin() + channel_address(n), nv.begin() + channel_address(n) + 32);
        QVERIFY2((record == erased_channel_record()) == (!refused && n % 2 == 1),
                 qPrintable(QString("channel %1").arg(n)));
      }
    }
  }
};

}  // namespace qv82::test

QV82_GUI_TEST_MAIN(qv82::test::EraseDialogTest)
#include "erase_dialog_test.moc"
