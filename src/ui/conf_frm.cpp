#include "ui/conf_frm.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "device/dialogs.h"
#include "lang/language.h"

namespace qv82 {

TConfFrm::TConfFrm(Ui& ui, NameList used_names, QWidget* parent)
    : QDialog(parent),
      Label1(new QLabel(tr("Name:"), this)),
      Edit1(new QLineEdit(this)),
      ui_(ui),
      used_names_(std::move(used_names)) {
  Edit1->setMinimumWidth(220);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &TConfFrm::Button1Click);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* row = new QHBoxLayout;
  row->addWidget(Label1);
  row->addWidget(Edit1, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row);
  layout->addWidget(buttons);
  init_language();
}

void TConfFrm::init_language() {
  setWindowTitle(QString::fromStdString(language_text(msg::kNewConfiguration)));
}

std::string TConfFrm::name() const { return Edit1->text().toStdString(); }

void TConfFrm::showEvent(QShowEvent* event) {
  Edit1->clear();
  Edit1->setFocus();
  QDialog::showEvent(event);
}

void TConfFrm::Button1Click() {
  if (check) {
    if (check(name())) accept();
    return;
  }
  const std::vector<std::string> used = used_names_ ? used_names_() : std::vector<std::string>{};
  if (accept_configuration_name(ui_, name(), used)) accept();
}

}  // namespace qv82
