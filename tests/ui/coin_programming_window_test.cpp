// The coin programming window from the tool bar over the simulated coin selector: its 150 ms
// tick fetches the coins inserted into the simulator, its buttons save and close.
#include "support/gui_test_main.h"
#include "ui/coin_programming_window.h"

#include <QCategoryAxis>
#include <QComboBox>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QScatterSeries>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "channels/channels_page.h"
#include "channels/coin_programming.h"
#include "channels/coin_programming_calc.h"
#include "channels/sample_chart.h"
#include "ui/channels_page_widget.h"
#include "ui/sample_chart_view.h"
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

// Ten samples of one coin, scattered by a step, and a wrong coin among them: its parameter 5
// lies far off.
constexpr std::size_t kOutlier = 6;
std::vector<CoinSample> samples_with_outlier() {
  std::vector<CoinSample> samples;
  for (std::size_t i = 0; i < 11; ++i) {
    CoinSample s;
    for (int k = 0; k < kChannelParameterCount; ++k) {
      s[k] = static_cast<std::uint8_t>(60 + 10 * k + static_cast<int>((i + k) % 3) - 1);
    }
    if (i == kOutlier) s[4] = 140;
    samples.push_back(s);
  }
  return samples;
}

// The chart shows these samples against this band: every value a point, red where outside.
void check_chart(CoinProgrammingWindow& w, const std::vector<CoinSample>& samples,
                 const ComputedParameters& band) {
  std::array<int, kChannelParameterCount> means{};
  std::array<int, kChannelParameterCount> tolerances{};
  for (int k = 0; k < kChannelParameterCount; ++k) {
    means[k] = band.parameters[k];
    tolerances[k] = band.tolerances[k];
  }
  const SampleChart expected = sample_chart(samples, means, tolerances);
  QList<QPointF> inside;
  QList<QPointF> outside;
  for (const SampleChartPoint& p : expected.points)
    (p.outside ? outside : inside).append({p.x, p.y});
  QCOMPARE(w.sample_chart->inside_points->points(), inside);
  QCOMPARE(w.sample_chart->outside_points->points(), outside);
  QStringList labels;
  for (int k = 0; k < kChannelParameterCount; ++k) {
    labels << QString("%1<br>%2<br>\u00b1%3").arg(k + 1).arg(means[k]).arg(tolerances[k]);
  }
  QCOMPARE(w.sample_chart->parameter_axis->categoriesLabels(), labels);
}

// Presses "Coins prog." and, once the window is up and sampling, runs drive inside it. The
// window is closed afterwards if drive left it open (a failed check returns early).
bool run_window(WindowBench& bench, const std::function<void(CoinProgrammingWindow&)>& drive) {
  CoinProgrammingWindow& window = *bench.window.coin_programming_window;
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
  bench.window.program_coins_action->trigger();
  return driven && !window.isVisible();
}

}  // namespace

class CoinProgrammingWindowTest : public QObject {
  Q_OBJECT

 private slots:
  // Coins from the simulator fill the chart as they arrive; the wrong one stands out, and once
  // deleted the channel is what the other samples give, on screen and in the device.
  void chartFollowsTheSamplesAndADeletedSampleLeavesTheChannel() {
    WindowBench bench;
    QVERIFY(bench.window.start_up_once());
    bench.app.settings.write_string("COINPROG", "Par5_ADD", "3");
    ToleranceMargins margins{};
    margins[4] = 3;
    const std::vector<CoinSample> samples = samples_with_outlier();
    std::vector<CoinSample> rest = samples;
    rest.erase(rest.begin() + kOutlier);
    const ComputedParameters kept =
        compute_parameters(rest, tolerance_factor(ToleranceLevel::kHigh), margins);
    bench.ui.clear();
    bench.ui.answers = {Answer::Ok, Answer::Yes};  // save channel 1; store on Close

    QVERIFY(run_window(bench, [&](CoinProgrammingWindow& w) {
      // The channel number sits in its "Channel" box, not loose over the sample list.
      auto* channel_group = qobject_cast<QGroupBox*>(w.channel_box->parentWidget());
      QVERIFY(channel_group != nullptr);
      QCOMPARE(channel_group->title(), QString("Channel"));
      for (std::size_t i = 0; i < samples.size(); ++i) {
        bench.setup.device().insert_measurement(samples[i]);
        QTRY_COMPARE(w.samples_list->count(), static_cast<int>(i + 1));
        const std::span<const CoinSample> so_far(samples.data(), i + 1);
        check_chart(w, {so_far.begin(), so_far.end()},
                    compute_parameters(so_far, tolerance_factor(ToleranceLevel::kMiddle), margins));
      }
      // Of all the values, only the wrong coin's parameter 5 falls outside its band.
      const QList<QPointF> outside = w.sample_chart->outside_points->points();
      QCOMPARE(outside.size(), 1);
      QCOMPARE(outside[0].x(), 5 + kSampleChartSpread * (2.0 * kOutlier / 10 - 1));
      QVERIFY(outside[0].y() > 1);
      // Its line stands out in the list too, and only its line.
      for (int i = 0; i < w.samples_list->count(); ++i) {
        QCOMPARE(w.samples_list->item(i)->background().style() != Qt::NoBrush,
                 i == static_cast<int>(kOutlier));
      }

      w.tolerance_box->setCurrentIndex(static_cast<int>(ToleranceLevel::kHigh));
      check_chart(w, samples,
                  compute_parameters(samples, tolerance_factor(ToleranceLevel::kHigh), margins));

      // The user selects the wrong coin's line and presses Delete.
      QListWidgetItem* line = w.samples_list->item(static_cast<int>(kOutlier));
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
      QVERIFY(w.sample_chart->outside_points->points().isEmpty());
      // A tolerance typed into the view moves the band the samples are drawn against.
      ComputedParameters typed = kept;
      typed.tolerances[0] = static_cast<std::uint8_t>(kept.tolerances[0] + 10);
      w.record->tolerances[0]->setValue(typed.tolerances[0]);
      check_chart(w, rest, typed);
      w.record->tolerances[0]->setValue(kept.tolerances[0]);
      w.save_button->click();
      w.close_button->click();
    }));

    QVERIFY(bench.ui.errors().empty());
    const Bytes saved = nv_channel(bench, 1);
    QCOMPARE(Bytes(saved.begin(), saved.begin() + 13),
             Bytes(kept.parameters.begin(), kept.parameters.end()));
    QCOMPARE(Bytes(saved.begin() + 13, saved.begin() + 26),
             Bytes(kept.tolerances.begin(), kept.tolerances.end()));
  }

  // Escape and the title bar ask what Close asks: unsaved samples are kept on Cancel, a coin
  // not stored leaves the channels page as it leaves the device with the reset, a stored one
  // stays on both, and the session's backup brings the old one back. A stored value of 1000,
  // more than the keyboard takes here, goes through unchanged.
  void everyWayOutAsksAndThePageShowsWhatTheDeviceHolds() {
    WindowBench bench;
    QVERIFY(bench.window.start_up_once());
    ChannelsPageWidget& page = *bench.window.channels_page;
    Bytes old_coin(13, 50);  // enabled, worth 1000
    old_coin.resize(26, 5);
    for (const std::uint8_t b : {0x70, 2, 1, 0xC4, 0x03, 0xE8}) old_coin.push_back(b);
    bench.setup.device().memory().poke(channel_address(1), old_coin);
    bench.ui.clear();
    // Escape with a sample not saved: Cancel. Save channel 1: OK. Escape: "Save data to NV
    // memory?" No.
    bench.ui.answers = {Answer::Cancel, Answer::Ok, Answer::No};

    QVERIFY(run_window(bench, [&](CoinProgrammingWindow& w) {
      QCOMPARE(w.record->value_box->value(), 1000);
      bench.setup.device().insert_measurement(all(77));
      QTRY_COMPARE(w.samples_list->count(), 1);
      QCOMPARE(w.record->value_box->value(), 1000);
      QTest::keyClick(&w, Qt::Key_Escape);
      QVERIFY(w.isVisible());
      QCOMPARE(w.samples_list->count(), 1);
      w.save_button->click();
      QCOMPARE(w.channel_box->value(), 2);  // moved on after the save
      QCOMPARE(page.record->parameters[0]->value(), 77);  // saved, not yet stored
      QTest::keyClick(&w, Qt::Key_Escape);
      QVERIFY(!w.isVisible());
    }));

    QCOMPARE(bench.ui.questions(),
             (std::vector<std::string>{"Data not saved! Save now to channel 1 ?",
                                       "Press OK to save channel 1", "Save data to NV memory?"}));
    QCOMPARE(nv_channel(bench, 1), old_coin);
    QTRY_COMPARE(page.record->parameters[0]->value(), int{old_coin[0]});
    ChannelsPage& channels = bench.app.configuration.channels;
    channels.take_channel(1);
    QCOMPARE(channels.channel_buffer[0], old_coin);

    // The title bar's close with the sample not saved, Yes to both: the coin is stored and the
    // page shows it, so taking it for a Download keeps the new record.
    bench.ui.clear();
    bench.ui.answers = {Answer::Yes, Answer::Yes};
    QVERIFY(run_window(bench, [&](CoinProgrammingWindow& w) {
      bench.setup.device().insert_measurement(all(78));
      QTRY_COMPARE(w.samples_list->count(), 1);
      w.close();
      QVERIFY(!w.isVisible());
    }));
    QCOMPARE(bench.ui.questions(),
             (std::vector<std::string>{"Data not saved! Save now to channel 1 ?",
                                       "Save data to NV memory?"}));
    QVERIFY(bench.ui.errors().empty());
    const Bytes stored = nv_channel(bench, 1);
    QCOMPARE(stored[0], std::uint8_t{78});
    QCOMPARE(Bytes(stored.begin() + 30, stored.end()), (Bytes{0x03, 0xE8}));
    QCOMPARE(page.record->parameters[0]->value(), 78);
    channels.take_channel(1);
    QCOMPARE(channels.channel_buffer[0], stored);

    // Each session was backed up before its first write; a backup brings the old coin back.
    QCOMPARE(bench.app.device_backups().size(), std::size_t{2});
    bench.ui.clear();
    bench.ui.chosen_items = {0};
    bench.ui.answers = {Answer::Yes};
    bench.window.restore_action->trigger();
    QVERIFY(bench.ui.errors().empty());
    QCOMPARE(nv_channel(bench, 1), old_coin);
  }
};

}  // namespace qv82::test

QV82_GUI_TEST_MAIN(qv82::test::CoinProgrammingWindowTest)
#include "coin_programming_window_test.moc"
