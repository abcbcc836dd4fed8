#include "ui/window_shots.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QListWidget>
#include <QTimer>
#include <functional>
#include <iostream>

#include "app/application.h"
#include "channels/coin_programming.h"
#include "lang/language.h"
#include "sim/device.h"
#include "ui/address_dialog.h"
#include "ui/coin_programming_window.h"
#include "ui/configuration_name_dialog.h"
#include "ui/dialog_title.h"
#include "ui/erase_dialog.h"
#include "ui/firmware_window.h"
#include "ui/main_window.h"
#include "ui/password_dialog.h"
#include "ui/pin_dialog.h"
#include "ui/production_test_window.h"
#include "ui/section_tree_dialog.h"
#include "ui/selector_test_window.h"

namespace qv82 {

namespace {

constexpr int kSamples = 11;
constexpr int kWrongSample = 6;
constexpr std::size_t kCoinKind = 0;
constexpr int kWrongParameter = 5;
constexpr int kWrongBy = 25;
constexpr std::uint8_t kFailingPh1 = 0x90;  // above the installed PH1_MAX 8C

// Lets events run (the device answers, ticks fire) until done or the time is up.
bool wait_until(const std::function<bool()>& done, int ms) {
  const QDeadlineTimer deadline(ms);
  while (!done()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  }
  return true;
}

// Paints what the last events changed before the grab.
void settle() {
  const QDeadlineTimer deadline(300);
  while (!deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

bool report(bool saved, const QString& name) {
  if (!saved) std::cerr << "error: cannot save " << name.toStdString() << '\n';
  return saved;
}

QString shot_name(const QString& file, const char* suffix) {
  const QFileInfo info(file);
  return info.path() + "/" + info.completeBaseName() + "-" + suffix + "." + info.suffix();
}

bool coin_programming_shot(MainWindow& window, sim::Device& device, const QString& name) {
  CoinProgrammingWindow& form = *window.coin_programming_window;
  bool saved = false;
  // The window is modal: the coins go in from inside its event loop, once it samples (the
  // device is asked first, with events running, before the window opens).
  QTimer poll;
  poll.setInterval(50);
  QObject::connect(&poll, &QTimer::timeout, &form, [&] {
    if (!form.isVisible() || !form.model().tick_running()) return;
    poll.stop();
    bool all_in = true;
    for (int i = 0; i < kSamples && all_in; ++i) {
      const int before = form.samples_list->count();
      if (i == kWrongSample) {
        device.insert_disturbed(kCoinKind, kWrongParameter, kWrongBy);
      } else {
        device.insert(kCoinKind);
      }
      all_in = wait_until([&] { return form.samples_list->count() > before; }, 3000);
    }
    settle();
    saved = all_in && form.grab().save(name);
    form.close();
  });
  poll.start();
  window.program_coins_action->trigger();
  poll.stop();
  return report(saved, name);
}

bool factory_test_shots(MainWindow& window, sim::Device& device, const QString& idle_name,
                        const QString& pass_name, const QString& fail_name) {
  ProductionTestWindow& form = *window.production_test_window;
  form.show();
  settle();
  const bool idle_saved = report(form.grab().save(idle_name), idle_name);
  form.start_single();
  settle();
  const bool pass_saved =
      report(form.model().last_error.empty() && form.grab().save(pass_name), pass_name);
  const std::uint8_t ph1 = device.config().analogue.ph1;
  device.config().analogue.ph1 = kFailingPh1;
  form.start_single();
  settle();
  const bool fail_saved =
      report(!form.model().last_error.empty() && form.grab().save(fail_name), fail_name);
  device.config().analogue.ph1 = ph1;
  form.close();
  return idle_saved && pass_saved && fail_saved;
}

// A window as it opens, shown without its modal loop.
bool opened_shot(QWidget& form, const QString& name) {
  form.show();
  settle();
  const bool saved = report(form.grab().save(name), name);
  form.hide();
  return saved;
}

// The coin selector test with the insertion test ticked and a coin in.
bool selector_test_shot(MainWindow& window, sim::Device& device, const QString& name) {
  SelectorTestWindow& form = *window.selector_test_window;
  form.show();
  settle();
  wait_until([&] { return form.tick_timer->isActive(); }, 3000);
  form.insertion_test_box->click();
  wait_until([&] { return form.tick_timer->isActive(); }, 3000);
  settle();
  device.insert(kCoinKind);
  wait_until([&] { return form.events_list->count() > 0; }, 3000);
  settle();
  const bool saved = report(form.grab().save(name), name);
  form.insertion_test_box->click();
  form.close();
  return saved;
}

// The tree dialog as Upload shows it, with the template's sections.
bool section_tree_shot(MainWindow& window, const QString& name) {
  SectionTreeDialog dialog(&window);
  bool saved = false;
  QTimer::singleShot(300, &dialog, [&] {
    settle();
    saved = report(dialog.grab().save(name), name);
    dialog.cancel();
  });
  dialog.execute(QString::fromStdString(language_text(msg::kUploadFromCoinSelector)),
                 window.app.configuration.tree);
  return saved;
}

bool password_shot(MainWindow& window, const QString& name) {
  PasswordDialog dialog(&window);
  dialog.setWindowTitle(QString::fromStdString(language_text(msg::kEnterFactoryPassword)));
  keep_title_in_view(dialog);
  return opened_shot(dialog, name);
}

}  // namespace

bool save_window_shots(MainWindow& window, sim::Device& device, const QString& file) {
  bool saved = coin_programming_shot(window, device, shot_name(file, "coin-programming"));
  saved = factory_test_shots(window, device, shot_name(file, "factory-test"),
                             shot_name(file, "factory-test-pass"),
                             shot_name(file, "factory-test-fail")) &&
          saved;
  saved = selector_test_shot(window, device, shot_name(file, "selector-test")) && saved;
  const std::pair<QWidget*, const char*> dialogs[] = {
      {window.firmware_window, "firmware"},
      {window.erase_dialog, "erase"},
      {window.address_dialog, "address"},
      {window.pin_dialog, "pin"},
      {window.configuration_name_dialog, "configuration-name"},
  };
  for (const auto& [dialog, suffix] : dialogs) {
    saved = opened_shot(*dialog, shot_name(file, suffix)) && saved;
  }
  saved = section_tree_shot(window, shot_name(file, "section-tree")) && saved;
  saved = password_shot(window, shot_name(file, "password")) && saved;
  return saved;
}

}  // namespace qv82
