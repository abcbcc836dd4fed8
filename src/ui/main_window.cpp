#include "ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <iterator>

#include "app/application.h"
#include "channels/coin_programming.h"
#include "lang/language.h"
#include "link/errors.h"
#include "stats/erasing.h"
#include "ui/activity_indicator.h"
#include "ui/address_dialog.h"
#include "ui/channels_page_widget.h"
#include "ui/coin_programming_window.h"
#include "ui/comm_log_page.h"
#include "ui/config_page.h"
#include "ui/configuration_name_dialog.h"
#include "ui/device_info_panel.h"
#include "ui/erase_dialog.h"
#include "ui/firmware_window.h"
#include "ui/pin_dialog.h"
#include "ui/production_test_window.h"
#include "ui/selector_test_window.h"
#include "ui/statistics_page_widget.h"

namespace qv82 {

namespace {

// The languages of the About page's list, in its order.
constexpr int kLanguageBases[] = {kEnglishBase, kItalianBase, kCroatianBase};

// The date of the last change of the program, shown on the About page.
constexpr const char* kModificationDateText = "2011.10.17.";

QString text_of(int number) { return QString::fromStdString(language_text(number)); }

// What a desktop adds around the window: the title bar and the frame.
constexpr int kTitleBarHeight = 32;
constexpr int kFrameWidth = 8;

// 1024 x 768, or less on a screen whose task bar leaves less: the window
// opens whole, its device panel in view.
QSize first_window_size() {
  QSize size(1024, 768);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QSize room = screen->availableGeometry().size() - QSize(kFrameWidth, kTitleBarHeight);
    size = size.boundedTo(room);
  }
  return size;
}

}  // namespace

MainWindow::MainWindow(Application& application, QWidget* parent)
    : QMainWindow(parent), app(application), log(application.workdir) {
  resize(first_window_size());

  tool_bar = addToolBar(QString());
  tool_bar->setObjectName("tool_bar");
  tool_bar->setMovable(false);
  tool_bar->setFloatable(false);
  tool_bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  tool_bar->setIconSize({32, 32});
  tool_bar->toggleViewAction()->setVisible(false);
  setContextMenuPolicy(Qt::NoContextMenu);

  open_file_action = add_tool_button(msg::kFileOpen, QStyle::SP_DialogOpenButton, "Ctrl+O");
  save_file_action = add_tool_button(msg::kFileSave, QStyle::SP_DialogSaveButton, "Ctrl+S");
  tool_bar->addSeparator();
  upload_action = add_tool_button(msg::kUpload, QStyle::SP_ArrowUp, "Ctrl+U");
  download_action = add_tool_button(msg::kDownload, QStyle::SP_ArrowDown, "Ctrl+D");
  erase_action = add_tool_button(msg::kEraseTool, QStyle::SP_TrashIcon, "Ctrl+E");
  program_coins_action = add_tool_button(msg::kCoinsProg, QStyle::SP_DriveCDIcon, "Ctrl+P");
  upgrade_action = add_tool_button(msg::kUpgrade, QStyle::SP_BrowserReload, "Ctrl+G");
  tool_bar->addSeparator();
  test_action = add_tool_button(msg::kTest, QStyle::SP_DialogApplyButton, "Ctrl+T");
  // Shown from the start, so the tool bar does not move when start-up ends.
  factory_test_action =
      add_tool_button(msg::kFactoryTestButton, QStyle::SP_MessageBoxInformation, "Ctrl+F");
  search_action = add_tool_button(msg::kSearch, QStyle::SP_FileDialogContentsView, "F5");
  tool_bar->addSeparator();
  exit_action = add_tool_button(msg::kExit, QStyle::SP_DialogCloseButton, "Ctrl+Q");

  // A menu of their own, so that the tool bar stays as technicians know it.
  file_menu = menuBar()->addMenu(QString());
  compare_action = file_menu->addAction(QString());
  compare_action->setShortcut(QKeySequence("Ctrl+K"));
  tool_captions_.emplace_back(compare_action, msg::kCompareWithDevice);
  restore_action = file_menu->addAction(QString());
  restore_action->setShortcut(QKeySequence("Ctrl+R"));
  tool_captions_.emplace_back(restore_action, msg::kRestoreMenu);

  connect_tool_bar();
  make_pages();

  device_panel = new DeviceInfoPanel;
  auto* central = new QWidget;
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(4, 4, 4, 4);
  // On a laptop screen with a task bar the pages scroll; the device panel
  // and the tool bar stay in view.
  pages_scroll = new QScrollArea;
  pages_scroll->setWidget(pages);
  pages_scroll->setWidgetResizable(true);
  pages_scroll->setFrameShape(QFrame::NoFrame);
  layout->addWidget(pages_scroll, 1);
  layout->addWidget(device_panel);
  setCentralWidget(central);

  make_windows();
  install_hooks();
  init_language();
  // The busy picture moves only while a transfer runs.
  device_panel->busy_indicator->stop();
}

MainWindow::~MainWindow() {
  // The link, the application and the page models outlive the window; they
  // must not call back into it.
  app.link.busy_start = nullptr;
  app.link.busy_end = nullptr;
  app.link.add_log_line = nullptr;
  app.selector.set_pages_enabled = nullptr;
  app.selector.device_info_changed = nullptr;
  app.hooks = {};
  app.configuration.statistics.changed = nullptr;
  app.configuration.statistics.short_date = nullptr;
  // The windows over the models this window owns go first.
  delete coin_programming_window;
  delete erase_dialog;
}

QAction* MainWindow::add_tool_button(int caption, int icon, const char* shortcut) {
  QAction* action = tool_bar->addAction(
      style()->standardIcon(static_cast<QStyle::StandardPixmap>(icon)), QString());
  action->setShortcut(QKeySequence(shortcut));
  // Tool-bar buttons take no focus by default; the keyboard alone must
  // reach them with Tab.
  tool_bar->widgetForAction(action)->setFocusPolicy(Qt::TabFocus);
  tool_captions_.emplace_back(action, caption);
  return action;
}

QWidget* MainWindow::make_about_page() {
  auto* page = new QWidget;
  about_title = new QLabel(page);
  QFont title = about_title->font();
  title.setPointSizeF(title.pointSizeF() * 1.6);
  title.setBold(true);
  about_title->setFont(title);
  about_revision = new QLabel(page);
  about_date = new QLabel(page);
  about_maker = new QLabel(page);
  auto* layout = new QVBoxLayout(page);
  layout->addStretch();
  for (QLabel* label : {about_title, about_revision, about_date, about_maker}) {
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
  }
  // Each language under its own name, so that it is found whatever the
  // current one.
  language_caption = new QLabel(page);
  language_box = new QComboBox(page);
  language_box->setObjectName("language_box");
  for (const int base : kLanguageBases) {
    language_box->addItem(QString::fromStdString(resource_text(base + msg::kLanguageName)));
  }
  language_caption->setBuddy(language_box);
  auto* language_row = new QHBoxLayout;
  language_row->addStretch();
  language_row->addWidget(language_caption);
  language_row->addWidget(language_box);
  language_row->addStretch();
  layout->addSpacing(16);
  layout->addLayout(language_row);
  layout->addStretch();
  connect(language_box, &QComboBox::activated, this, &MainWindow::language_chosen);
  return page;
}

void MainWindow::language_chosen(int index) {
  if (index < 0 || index >= static_cast<int>(std::size(kLanguageBases))) return;
  if (!app.change_language(kLanguageBases[index])) {
    // The language is in use all the same; the next start would not know it.
    app.ui.error(language_text(msg::kLanguageCaption) + " " + app.settings.last_error());
  }
}

void MainWindow::init_language() {
  setWindowTitle(QString::fromStdString(app.window_title()));
  file_menu->setTitle(text_of(msg::kFileMenu));
  for (const auto& [action, caption] : tool_captions_) {
    action->setText(text_of(caption));
    action->setToolTip(text_of(caption) + " (" +
                       action->shortcut().toString(QKeySequence::NativeText) + ")");
  }
  const int captions[] = {msg::kConfigurationPage, msg::kChannelsPage, msg::kStatistics,
                          msg::kCommLog, msg::kAbout};
  for (int i = 0; i < pages->count(); ++i) pages->setTabText(i, text_of(captions[i]));
  other_settings_box->setTitle(text_of(msg::kOtherSettings));
  address_button->setText(text_of(msg::kCcTalkAddress));
  pin_button->setText(text_of(msg::kPin));
  about_title->setText(text_of(msg::kApplicationTitle));
  about_revision->setText(text_of(msg::kSoftwareRevision) + " " + kVersionText);
  about_date->setText(text_of(msg::kModificationDate) + kModificationDateText);
  about_maker->setText(text_of(msg::kMakerName) + "\n" + text_of(msg::kMakerAddress));
  language_caption->setText(text_of(msg::kLanguageCaption));
  for (int i = 0; i < language_box->count(); ++i) {
    if (kLanguageBases[i] == language_base()) language_box->setCurrentIndex(i);
  }
  config_page->init_language();
  channels_page->init_language();
  statistics_page->init_language();
  comm_log_page->init_language();
  device_panel->init_language();
  firmware_window->init_language();
  coin_programming_window->init_language();
  erase_dialog->init_language();
  selector_test_window->init_language();
  production_test_window->init_language();
  address_dialog->init_language();
  pin_dialog->init_language();
  configuration_name_dialog->init_language();
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!activated_) {
    activated_ = true;
    // After the window has appeared, so the user sees it while the search runs.
    QTimer::singleShot(0, this, [this] { start_up_once(); });
  }
}

bool MainWindow::start_up_once() {
  const bool first = !start_up_run_;
  activated_ = true;
  start_up_run_ = true;
  bool started = false;
  guarded([&] { started = app.start_up_once(); });
  factory_test_action->setVisible(app.factory_test_visible);
  if (first) emit activated(started);
  return started;
}

void MainWindow::guarded(const std::function<void()>& action) {
  try {
    action();
  } catch (const ConversionError& e) {
    app.ui.error(e.what());
  } catch (const PortError& e) {
    app.ui.error(e.what());
  }
}

void MainWindow::configuration_action(const std::function<void()>& action) {
  guarded(action);
  emit configuration_changed();
}

void MainWindow::busy_start() {
  if (busy_depth_++ > 0) return;
  focus_before_busy_ = QApplication::focusWidget();
  update_enabled();
  device_panel->busy_indicator->start();
}

void MainWindow::busy_end() {
  if (busy_depth_ == 0 || --busy_depth_ > 0) return;
  update_enabled();
  device_panel->busy_indicator->stop();
  // Disabling took the focus away (from the terminal line, say); give it back.
  if (focus_before_busy_ && focus_before_busy_->isEnabled()) focus_before_busy_->setFocus();
  focus_before_busy_ = nullptr;
}

void MainWindow::set_pages_enabled(bool enabled) {
  pages_enabled_ = enabled;
  update_enabled();
}

void MainWindow::update_enabled() {
  const bool idle = busy_depth_ == 0;
  tool_bar->setEnabled(idle);
  menuBar()->setEnabled(idle);
  settings_panel->setEnabled(idle);
  pages->setEnabled(idle && pages_enabled_);
}

void MainWindow::close_confirmed() {
  close_confirmed_ = true;
  if (!in_close_event_) close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // Closing in the middle of a transfer would pull the window from under it.
  if (!close_confirmed_ && !busy() && !in_close_event_) {
    in_close_event_ = true;
    guarded([this] { app.exit(); });
    in_close_event_ = false;
  }
  if (!close_confirmed_) {
    event->ignore();
    return;
  }
  app.close_down();
  event->accept();
}

}  // namespace qv82
