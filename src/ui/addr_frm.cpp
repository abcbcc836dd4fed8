#include "ui/addr_frm.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

#include "device/coin_selector.h"
#include "lang/language.h"

namespace qv82 {

TAddrFrm::TAddrFrm(CoinSelector& coin, QWidget* parent)
    : QDialog(parent),
      Label1(new QLabel(this)),
      Label3(new QLabel(this)),
      Label2(new QLabel(this)),
      SpinEdit1(new QSpinBox(this)),
      coin_(coin) {
  SpinEdit1->setRange(2, 254);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &TAddrFrm::Button1Click);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* grid = new QGridLayout;
  grid->addWidget(Label1, 0, 0);
  grid->addWidget(Label3, 0, 1);
  grid->addWidget(Label2, 1, 0);
  grid->addWidget(SpinEdit1, 1, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(buttons);
  init_language();
}

void TAddrFrm::init_language() {
  setWindowTitle(QString::fromStdString(language_text(msg::kCcTalkAddress)));
  Label1->setText(QString::fromStdString(language_text(msg::kCurrentAddress)));
  Label2->setText(QString::fromStdString(language_text(msg::kNewAddress)));
}

void TAddrFrm::showEvent(QShowEvent* event) {
  const int current = coin_.link.device_address;
  Label3->setText(QString::number(current));
  SpinEdit1->setValue(current);
  SpinEdit1->setFocus();
  QDialog::showEvent(event);
}

void TAddrFrm::Button1Click() {
  coin_.change_address(static_cast<std::uint8_t>(SpinEdit1->value()));
  // Closed whatever the outcome; the message has said how it went.
  accept();
}

}  // namespace qv82
