#include "ui/channels_page_widget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

#include "channels/channel_lists.h"
#include "channels/channels_page.h"
#include "channels/country_list.h"
#include "config/working_images.h"
#include "lang/language.h"

namespace qv82 {

namespace {

QString text_of(int number) { return QString::fromStdString(language_text(number)).trimmed(); }

QSpinBox* number_box(int maximum, QWidget* parent) {
  auto* box = new QSpinBox(parent);
  box->setRange(0, maximum);
  box->setButtonSymbols(QAbstractSpinBox::NoButtons);
  box->setAlignment(Qt::AlignRight);
  return box;
}

template <typename List>
QComboBox* list_box(const List& items, QWidget* parent) {
  auto* box = new QComboBox(parent);
  for (const auto& item : items) {
    box->addItem(QString::fromUtf8(item.data(), static_cast<qsizetype>(item.size())));
  }
  return box;
}

}  // namespace

ChannelsPageWidget::ChannelsPageWidget(ChannelsPage& model, WorkingImages& images, QWidget* parent)
    : QWidget(parent), model_(model), images_(images) {
  setObjectName("ChannelsPage");
  channel_group = new QGroupBox(this);
  channel_number_box = new QSpinBox(channel_group);
  channel_number_box->setRange(1, kChannelCount);
  (new QHBoxLayout(channel_group))->addWidget(channel_number_box);

  parameters_group = new QGroupBox(this);
  auto* grid = new QGridLayout(parameters_group);
  for (int k = 0; k < kChannelParameterCount; ++k) {
    auto* label = new QLabel(QString::number(k + 1) + ".", parameters_group);
    label->setAlignment(Qt::AlignCenter);
    grid->addWidget(label, 0, k);
    parameters[k] = number_box(255, parameters_group);
    tolerances[k] = number_box(255, parameters_group);
    grid->addWidget(parameters[k], 1, k);
    grid->addWidget(tolerances[k], 2, k);
  }

  status_group = new QGroupBox(this);
  auto* status = new QGridLayout(status_group);
  status_captions[0] = new QLabel(status_group);
  status_captions[1] = new QLabel(status_group);
  CheckBoxCcTalk = new QCheckBox(status_group);
  CheckBoxSel = new QCheckBox(status_group);
  CheckBoxFake = new QCheckBox(status_group);
  CheckBoxEn = new QCheckBox(status_group);
  status->addWidget(status_captions[0], 0, 0, 1, 2);
  status->addWidget(status_captions[1], 0, 2, 1, 2);
  status->addWidget(CheckBoxCcTalk, 1, 0);
  status->addWidget(CheckBoxSel, 1, 1);
  status->addWidget(CheckBoxFake, 1, 2);
  status->addWidget(CheckBoxEn, 1, 3);

  options_group = new QGroupBox(this);
  auto* options = new QGridLayout(options_group);
  ComboBoxDir = list_box(direction_list(), options_group);
  ComboBoxCvf = list_box(cvf_list(CvfListKind::kChannelsPage), options_group);
  ComboBoxMint = list_box(mint_list(), options_group);
  ComboBoxCc = list_box(country_list(), options_group);
  SpinEditVal = number_box(65535, options_group);
  QWidget* const option_fields[5] = {ComboBoxDir, ComboBoxCvf, ComboBoxMint, ComboBoxCc,
                                     SpinEditVal};
  for (int i = 0; i < 5; ++i) {
    option_captions_[i] = new QLabel(options_group);
    options->addWidget(option_captions_[i], 0, i);
    options->addWidget(option_fields[i], 1, i);
  }

  auto* lower = new QHBoxLayout;
  lower->addWidget(status_group);
  lower->addWidget(options_group, 1);
  auto* layout = new QVBoxLayout(this);
  auto* upper = new QHBoxLayout;
  upper->addWidget(channel_group);
  upper->addStretch();
  layout->addLayout(upper);
  layout->addWidget(parameters_group);
  layout->addLayout(lower);
  layout->addStretch();

  connect(channel_number_box, &QSpinBox::valueChanged, this, [this](int m) {
    if (!rendering_) change_channel(m);
  });
  for (QSpinBox* box : parameters)
    connect(box, &QSpinBox::valueChanged, this, [this] { edited(); });
  for (QSpinBox* box : tolerances)
    connect(box, &QSpinBox::valueChanged, this, [this] { edited(); });
  for (QCheckBox* box : {CheckBoxCcTalk, CheckBoxSel, CheckBoxFake, CheckBoxEn}) {
    connect(box, &QCheckBox::toggled, this, [this] { edited(); });
  }
  for (QComboBox* box : {ComboBoxDir, ComboBoxCvf, ComboBoxMint, ComboBoxCc}) {
    connect(box, &QComboBox::currentIndexChanged, this, [this] { edited(); });
  }
  connect(SpinEditVal, &QSpinBox::valueChanged, this, [this] { edited(); });

  init_language();
  refresh();
}

void ChannelsPageWidget::init_language() {
  channel_group->setTitle(text_of(msg::kChannel));
  parameters_group->setTitle(text_of(msg::kParameterTollerance));
  status_group->setTitle(text_of(msg::kStatus));
  options_group->setTitle(tr("Options"));
  // Two captions over four boxes, as the boxes sit in pairs.
  status_captions[0]->setText("ccTalk  Sel.");
  status_captions[1]->setText(QString::fromStdString(language_text(msg::kFakeEn)));
  CheckBoxCcTalk->setToolTip(tr("when checked, ccTalk enabled"));
  CheckBoxSel->setToolTip(tr("when checked, selective inhibit enabled"));
  CheckBoxFake->setToolTip(tr("Fake coin"));
  CheckBoxEn->setToolTip(tr("Channel enabled"));
  const QString captions[5] = {"Dir.", "CVF", "Mint", text_of(msg::kCc), text_of(msg::kVal)};
  for (int i = 0; i < 5; ++i) option_captions_[i]->setText(captions[i]);
}

void ChannelsPageWidget::refresh() {
  rendering_ = true;
  const ChannelView& view = model_.view;
  channel_number_box->setValue(model_.channel_number);
  for (int k = 0; k < kChannelParameterCount; ++k) {
    parameters[k]->setValue(view.parameters[k]);
    tolerances[k]->setValue(view.tolerances[k]);
  }
  CheckBoxCcTalk->setChecked(view.cctalk);
  CheckBoxSel->setChecked(view.selective);
  CheckBoxFake->setChecked(view.fake);
  CheckBoxEn->setChecked(view.enabled);
  ComboBoxDir->setCurrentIndex(view.direction);
  ComboBoxCvf->setCurrentIndex(view.cvf);
  ComboBoxMint->setCurrentIndex(view.mint);
  ComboBoxCc->setCurrentIndex(view.country);
  SpinEditVal->setValue(view.value);
  rendering_ = false;
}

void ChannelsPageWidget::edited() {
  if (rendering_) return;
  ChannelView& view = model_.view;
  for (int k = 0; k < kChannelParameterCount; ++k) {
    view.parameters[k] = parameters[k]->value();
    view.tolerances[k] = tolerances[k]->value();
  }
  view.cctalk = CheckBoxCcTalk->isChecked();
  view.selective = CheckBoxSel->isChecked();
  view.fake = CheckBoxFake->isChecked();
  view.enabled = CheckBoxEn->isChecked();
  view.direction = ComboBoxDir->currentIndex();
  view.cvf = ComboBoxCvf->currentIndex();
  view.mint = ComboBoxMint->currentIndex();
  view.country = ComboBoxCc->currentIndex();
  view.value = SpinEditVal->value();
  model_.mark_modified();
}

void ChannelsPageWidget::change_channel(int m) {
  images_.loaded_sections |= model_.change_channel(m);
  refresh();
}

}  // namespace qv82
