#include "ui/firmware_window.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "device/coin_selector.h"
#include "lang/language.h"
#include "link/errors.h"
#include "ui/scope_exit.h"

namespace qv82 {

namespace {

QString q(int message) { return QString::fromStdString(language_text(message)); }

}  // namespace

FirmwareWindow::FirmwareWindow(CoinSelector& coin, QWidget* parent)
    : QDialog(parent),
      open_button(new QPushButton(this)),
      start_button(new QPushButton(this)),
      close_button(new QPushButton(this)),
      file_name_label(new QLabel(this)),
      status_text_label(new QLabel(this)),
      progress(new QProgressBar(this)),
      coin_(coin),
      model_(coin.link, coin) {
  setModal(true);
  file_name_label->setMinimumWidth(360);
  file_name_label->setFrameShape(QFrame::StyledPanel);
  progress->setTextVisible(true);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(open_button);
  buttons->addWidget(start_button);
  buttons->addStretch();
  buttons->addWidget(close_button);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(file_name_label);
  layout->addWidget(progress);
  layout->addWidget(status_text_label);
  layout->addLayout(buttons);

  connect(open_button, &QPushButton::clicked, this, &FirmwareWindow::open_file);
  connect(start_button, &QPushButton::clicked, this, &FirmwareWindow::start);
  connect(close_button, &QPushButton::clicked, this, &FirmwareWindow::close_window);
  model_.view_changed = [this] { render(); };
  init_language();
  render();
}

void FirmwareWindow::init_language() {
  setWindowTitle(q(msg::kFirmwareUpgrade));
  open_button->setText(q(msg::kOpenFile));
  start_button->setText(q(msg::kStart));
  close_button->setText(q(msg::kClose));
}

void FirmwareWindow::render() {
  const DownloadView& view = model_.view;
  file_name_label->setText(QString::fromStdString(view.file_label));
  status_text_label->setText(QString::fromStdString(view.status_label));
  progress->setMaximum(std::max(1, view.progress_max));
  progress->setValue(view.progress);
}

void FirmwareWindow::set_buttons_enabled(bool enabled) {
  close_button->setEnabled(enabled);
  open_button->setEnabled(enabled);
  start_button->setEnabled(enabled);
}

void FirmwareWindow::showEvent(QShowEvent* event) {
  model_.on_open();
  QDialog::showEvent(event);
}

void FirmwareWindow::open_file() {
  if (auto path = coin_.ui.open_file(language_text(msg::kFirmwareImageFilter)))
    model_.choose_file(*path);
}

void FirmwareWindow::start() {
  // The transfer lets events through while it waits: no second start, and
  // no closing under it.
  bool closes = false;
  {
    running_ = true;
    set_buttons_enabled(false);
    const ScopeExit finished([this] {
      set_buttons_enabled(true);
      running_ = false;
    });
    try {
      closes = model_.start();
    } catch (const PortError& e) {
      // Said here, where the label already tells the same: the window stays
      // for another try once the port is back.
      coin_.ui.error(e.what());
    }
  }
  if (closes) close_window();
}

void FirmwareWindow::close_window() {
  model_.on_close();
  accept();
}

void FirmwareWindow::closeEvent(QCloseEvent* event) {
  if (running_) {
    event->ignore();
    return;
  }
  model_.on_close();
  QDialog::closeEvent(event);
}

void FirmwareWindow::reject() {
  if (running_) return;  // Escape during a transfer
  model_.on_close();
  QDialog::reject();
}

}  // namespace qv82
