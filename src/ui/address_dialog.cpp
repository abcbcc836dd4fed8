#include "ui/address_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

#include "device/coin_selector.h"
#include "lang/language.h"
#include "ui/captions.h"
#include "ui/dialog_title.h"

namespace qv82 {

AddressDialog::AddressDialog(CoinSelector& coin, QWidget* parent)
    : QDialog(parent),
      current_caption(new QLabel(this)),
      current_address(new QLabel(this)),
      new_caption(new QLabel(this)),
      new_address_box(new QSpinBox(this)),
      coin_(coin) {
  new_address_box->setRange(2, 254);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &AddressDialog::confirm);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* grid = new QGridLayout;
  grid->addWidget(current_caption, 0, 0);
  grid->addWidget(current_address, 0, 1);
  grid->addWidget(new_caption, 1, 0);
  grid->addWidget(new_address_box, 1, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(buttons);
  init_language();
}

void AddressDialog::init_language() {
  name_standard_buttons(this);
  setWindowTitle(QString::fromStdString(language_text(msg::kCcTalkAddress)));
  keep_title_in_view(*this);
  current_caption->setText(QString::fromStdString(language_text(msg::kCurrentAddress)));
  new_caption->setText(QString::fromStdString(language_text(msg::kNewAddress)));
}

void AddressDialog::showEvent(QShowEvent* event) {
  const int current = coin_.link.device_address;
  current_address->setText(QString::number(current));
  new_address_box->setValue(current);
  new_address_box->setFocus();
  QDialog::showEvent(event);
}

void AddressDialog::confirm() {
  coin_.change_address(static_cast<std::uint8_t>(new_address_box->value()));
  // Closed whatever the outcome; the message has said how it went.
  accept();
}

}  // namespace qv82
