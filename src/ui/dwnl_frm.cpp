#include "ui/dwnl_frm.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "device/coin_selector.h"
#include "lang/language.h"
#include "ui/scope_exit.h"

namespace qv82 {

namespace {

constexpr const char* kImageFilter = "Corvanti u record (*.u19)|*.u19";

QString q(int message) { return QString::fromStdString(language_text(message)); }

}  // namespace

TDwnlFrm::TDwnlFrm(CoinSelector& coin, QWidget* parent)
    : QDialog(parent),
      Button2(new QPushButton(this)),
      Button3(new QPushButton(this)),
      Button1(new QPushButton(this)),
      FileLabel(new QLabel(this)),
      StatusLabel(new QLabel(this)),
      ProgressBar1(new QProgressBar(this)),
      coin_(coin),
      model_(coin.link, coin) {
  setModal(true);
  FileLabel->setMinimumWidth(360);
  FileLabel->setFrameShape(QFrame::StyledPanel);
  ProgressBar1->setTextVisible(true);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(Button2);
  buttons->addWidget(Button3);
  buttons->addStretch();
  buttons->addWidget(Button1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(FileLabel);
  layout->addWidget(ProgressBar1);
  layout->addWidget(StatusLabel);
  layout->addLayout(buttons);

  connect(Button2, &QPushButton::clicked, this, &TDwnlFrm::Button2Click);
  connect(Button3, &QPushButton::clicked, this, &TDwnlFrm::Button3Click);
  connect(Button1, &QPushButton::clicked, this, &TDwnlFrm::Button1Click);
  model_.view_changed = [this] { render(); };
  init_language();
  render();
}

void TDwnlFrm::init_language() {
  setWindowTitle(q(msg::kFirmwareUpgrade));
  Button2->setText(q(msg::kOpenFile));
  Button3->setText(q(msg::kStart));
  Button1->setText(q(msg::kClose));
}

void TDwnlFrm::render() {
  const DownloadView& view = model_.view;
  FileLabel->setText(QString::fromStdString(view.file_label));
  StatusLabel->setText(QString::fromStdString(view.status_label));
  ProgressBar1->setMaximum(std::max(1, view.progress_max));
  ProgressBar1->setValue(view.progress);
}

void TDwnlFrm::set_buttons_enabled(bool enabled) {
  Button1->setEnabled(enabled);
  Button2->setEnabled(enabled);
  Button3->setEnabled(enabled);
}

void TDwnlFrm::showEvent(QShowEvent* event) {
  model_.FormActivate();
  QDialog::showEvent(event);
}

void TDwnlFrm::Button2Click() {
  if (auto path = coin_.ui.open_file(kImageFilter)) model_.choose_file(*path);
}

void TDwnlFrm::Button3Click() {
  // The transfer lets events through while it waits: no second start, and
  // no closing under it.
  bool close_window = false;
  {
    running_ = true;
    set_buttons_enabled(false);
    const ScopeExit finished([this] {
      set_buttons_enabled(true);
      running_ = false;
    });
    close_window = model_.Button3Click();
  }
  if (close_window) Button1Click();
}

void TDwnlFrm::Button1Click() {
  model_.Button1Click();
  accept();
}

void TDwnlFrm::closeEvent(QCloseEvent* event) {
  if (running_) {
    event->ignore();
    return;
  }
  model_.Button1Click();
  QDialog::closeEvent(event);
}

void TDwnlFrm::reject() {
  if (running_) return;  // Escape during a transfer
  model_.Button1Click();
  QDialog::reject();
}

}  // namespace qv82
