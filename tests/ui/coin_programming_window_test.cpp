// The coin programming window from the tool bar over the simulated coin selector: its 150 ms
// tick fetches the coins inserted into the simulator, its buttons save and close.
#include "support/gui_test_main.h"
#include "ui/coin_programming_window.h"

#include <QCategoryAxis>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QScatterSeries>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>

#include "channels/channels_page.h"
#include "channels/coin_programming.h"
#include "channels/coin_programming_calc.h"
#include "channels/sample_chart.h"
#include "link/memory_map.h"
#include "ui/channels_page_widget.h"
#include "ui/sample_chart_view.h"
#include "window_bench.h"

namespace qv82::test {

namespace {

// The chart shows these samples against this band: every value a point, red where outside.
void check_chart(CoinProgrammingWindow& w, const std::vector<CoinSample>& samples,
                 const ComputedParameters& band) {
  std::array<int, kChannelParameterCount> means{};
  std::array<int, kChannelParameterCount> tolerances{};
  QStringList labels;
  for (int k = 0; k < kChannelParameterCount; ++k) {
    means[k] = band.parameters[k];
    tolerances[k] = band.tolerances[k];
    labels << QString("%1<br>%2<br>\u00b1%3").arg(k + 1).arg(means[k]).arg(tolerances[k]);
  }
  QList<QPointF> inside;
  QList<QPointF> outside;
  for (const SampleChartPoint& p : sample_chart(samples, means, tolerances).points)
    (p.outside ? outside : inside).append({p.x, p.y});
  QCOMPARE(w.sample_chart->inside_points->points(), inside);
  QCOMPARE(w.sample_chart->outside_points->points(), outside);
  QCOMPARE(w.sample_chart->parameter_axis->categoriesLabels(), labels);
}

}  // namespace

class CoinProgrammingWindowTest : public QObject {
  Q_OBJECT

 private slots:
  // Coins fill the list and the chart; the wrong one stands out, and once deleted the channel
  // is what the others give. Escape and the title bar ask what Close asks; a stored value of
  // 1000, more than the keyboard takes here, goes through unchanged.
  void samplesMakeTheChannelAndEveryWayOutAsks() {
    WindowBench bench;
    QVERIFY(bench.window.start_up_once());
    bench.app.settings.write_string("COINPROG", "Par5_ADD", "3");
    ToleranceMargins margins{};
    margins[4] = 3;
    Bytes old_coin(13, 50);  // enabled, worth 1000
    old_coin.resize(26, 5);
    for (const std::uint8_t b : {0x70, 2, 1, 0xC4, 0x03, 0xE8}) old_coin.push_back(b);
    bench.setup.device().memory().poke(channel_address(1), old_coin);
    // Ten samples of one coin, scattered by a step, and a wrong coin among them: its
    // parameter 5 lies far off.
    constexpr int kOutlier = 6;
    std::vector<CoinSample> samples(11);
    for (int i = 0; i < 11; ++i) {
      for (int k = 0; k < kChannelParameterCount; ++k)
        samples[i][k] = static_cast<std::uint8_t>(60 + 10 * k + (i + k) % 3 - 1);
    }
    samples[kOutlier][4] = 140;
    std::vector<CoinSample> rest = samples;
    rest.erase(rest.begin() + kOutlier);
    const ComputedParameters kept =
        compute_parameters(rest, tolerance_factor(ToleranceLevel::kHigh), margins);
    bench.ui.clear();
    // Escape with samples not saved: Cancel. Save channel 1: OK. Title bar: store, Yes.
    bench.ui.answers = {Answer::Cancel, Answer::Ok, Answer::Yes};

    CoinProgrammingWindow& w = *bench.window.coin_programming_window;
    bool driven = false;
    QTimer::singleShot(0, &w, [&] {
      const auto drive = [&] {
        QTRY_VERIFY(w.model().tick_running());
        QCOMPARE(w.record->value_box->value(), 1000);
        for (std::size_t i = 0; i < samples.size(); ++i) {
          bench.setup.device().insert_measurement(samples[i]);
          QTRY_COMPARE(w.samples_list->count(), static_cast<int>(i + 1));
        }
        check_chart(w, samples,
                    compute_parameters(samples, tolerance_factor(ToleranceLevel::kMiddle), margins));
        for (int i = 0; i < w.samples_list->count(); ++i) {
          QCOMPARE(w.samples_list->item(i)->background().style() != Qt::NoBrush, i == kOutlier);
        }
        w.tolerance_box->setCurrentIndex(static_cast<int>(ToleranceLevel::kHigh));

        QListWidgetItem* line = w.samples_list->item(kOutlier);
        w.samples_list->scrollToItem(line);
        QTest::mouseClick(w.samples_list->viewport(), Qt::LeftButton, {},
                          w.samples_list->visualItemRect(line).center());
        QTest::keyClick(w.samples_list, Qt::Key_Delete);
        QCOMPARE(w.samples_list->count(), 10);
        for (int k = 0; k < kChannelParameterCount; ++k) {
          QCOMPARE(w.record->parameters[k]->value(), int{kept.parameters[k]});
          QCOMPARE(w.record->tolerances[k]->value(), int{kept.tolerances[k]});
        }
        check_chart(w, rest, kept);
        // A tolerance typed into the view moves the band the samples are drawn against.
        ComputedParameters typed = kept;
        typed.tolerances[0] = static_cast<std::uint8_t>(kept.tolerances[0] + 10);
        w.record->tolerances[0]->setValue(typed.tolerances[0]);
        check_chart(w, rest, typed);
        w.record->tolerances[0]->setValue(kept.tolerances[0]);

        QTest::keyClick(&w, Qt::Key_Escape);
        QVERIFY(w.isVisible());
        QCOMPARE(w.samples_list->count(), 10);
        w.save_button->click();
        QCOMPARE(w.channel_box->value(), 2);  // moved on after the save
        w.close();
        driven = !w.isVisible();
      };
      drive();
      if (w.isVisible()) w.close();
    });
    bench.window.program_coins_action->trigger();
    QVERIFY(driven && !w.isVisible());

    QCOMPARE(bench.ui.questions(),
             (std::vector<std::string>{"Data not saved! Save now to channel 1 ?",
                                       "Press OK to save channel 1", "Save data to NV memory?"}));
    QVERIFY(bench.ui.errors().empty());
    const auto& nv = bench.setup.device().memory().nv();
    const Bytes stored(nv.begin() + channel_address(1), nv.begin() + channel_address(1) + 32);
    QCOMPARE(Bytes(stored.begin(), stored.begin() + 13),
             Bytes(kept.parameters.begin(), kept.parameters.end()));
    QCOMPARE(Bytes(stored.begin() + 13, stored.begin() + 26),
             Bytes(kept.tolerances.begin(), kept.tolerances.end()));
    QCOMPARE(Bytes(stored.begin() + 26, stored.end()), Bytes(old_coin.begin() + 26, old_coin.end()));
    // The page shows the stored coin, so taking it for a Download keeps the new record.
    QCOMPARE(bench.window.channels_page->record->parameters[0]->value(), int{kept.parameters[0]});
    ChannelsPage& channels = bench.app.configuration.channels;
    channels.take_channel(1);
    QCOMPARE(channels.channel_buffer[0], stored);
  }
};

}  // namespace qv82::test

QV82_GUI_TEST_MAIN(qv82::test::CoinProgrammingWindowTest)
#include "coin_programming_window_test.moc"
