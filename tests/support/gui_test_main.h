#pragma once

// The main of every window test: Qt Test's own, with a watchdog for the
// failure that otherwise shows as a hang: a dialog left open (a check that
// failed inside the code meant to close it) keeps its event loop running
// until CTest's time-out, and the log then says nothing about why.

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace qv82::test {

class ModalWatchdog : public QObject {
 public:
  static constexpr std::chrono::seconds kLimit{30};

  ModalWatchdog() {
    timer_.setInterval(250);
    QObject::connect(&timer_, &QTimer::timeout, this, [this] { look(); });
    timer_.start();
  }

 private:
  void look() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal != shown_.data()) {
      shown_ = modal;
      since_ = std::chrono::steady_clock::now();
      return;
    }
    if (modal == nullptr || std::chrono::steady_clock::now() - since_ < kLimit) return;
    QString what = modal->windowTitle();
    if (auto* box = qobject_cast<QMessageBox*>(modal)) what += " | " + box->text();
    std::fprintf(stderr, "FAIL! a dialog was left open for %lld s: %s \"%s\"\n",
                 static_cast<long long>(kLimit.count()), modal->metaObject()->className(),
                 qPrintable(what));
    std::fflush(stderr);
    std::_Exit(EXIT_FAILURE);
  }

  QTimer timer_;
  QPointer<QWidget> shown_;
  std::chrono::steady_clock::time_point since_ = std::chrono::steady_clock::now();
};

}  // namespace qv82::test

#define QV82_GUI_TEST_MAIN(TestObject)               \
  int main(int argc, char** argv) {                  \
    QApplication application(argc, argv);            \
    application.setAttribute(Qt::AA_Use96Dpi, true); \
    qv82::test::ModalWatchdog watchdog;              \
    TestObject test;                                 \
    QTEST_SET_MAIN_SOURCE_PATH                       \
    return QTest::qExec(&test, argc, argv);          \
  }
