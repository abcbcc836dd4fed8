#include "ui/er_frm.h"

#include <QCheckBox>
#include <QPushButton>
#include <QtTest>

#include "channels/channels_page.h"
#include "channels/erasing.h"
#include "link/errors.h"
#include "support/selector_bench.h"

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

class ErFrmTest : public QObject {
  Q_OBJECT

 private slots:
  // The error travels on to the application's handler, which shows it; the
  // dialog must still close afterwards.
  void portErrorDuringEraseLeavesCloseWorking() {
    SelectorBench bench;
    UnpluggedPort port;
    TccTfrm link(port, bench.setup.clock());
    CoinSelector selector(link, bench.state, bench.ui, bench.settings);
    bench.state.access_masks = {0xFF, 0xFF, 0xFF, 0xFF};
    ChannelsPage page(bench.state.channel_buffer);
    Erasing erasing(selector, page, bench.ui);
    TErFrm dialog(erasing);
    dialog.show();
    dialog.channel_boxes[0]->click();
    bench.ui.answers = {Answer::Yes};

    QVERIFY_THROWS_EXCEPTION(PortError, dialog.Button1Click());
    QVERIFY(dialog.isVisible());
    dialog.Button2->click();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int{QDialog::Rejected});
  }
};

}  // namespace qv82::test

QTEST_MAIN(qv82::test::ErFrmTest)
#include "er_frm_test.moc"
