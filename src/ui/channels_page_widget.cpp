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
  cctalk_box = new QCheckBox(status_group);
  sel_box = new QCheckBox(status_group);
  fake_box = new QCheckBox(status_group);
  enabled_box = new QCheckBox(status_group);
  status->addWidget(status_captions[0], 0, 0, 1, 2);
  status->addWidget(status_captions[1], 0, 2, 1, 2);
  status->addWidget(cctalk_box, 1, 0);
  status->addWidget(sel_box, 1, 1);
  status->addWidget(fake_box, 1, 2);
  status->addWidget(enabled_box, 1, 3);

  options_group = new QGroupBox(this);
  auto* options = new QGridLayout(options_group);
  direction_box = list_box(direction_list(), options_group);
  cvf_box = list_box(cvf_list(CvfListKind::kChannelsPage), options_group);
  mint_box = list_box(mint_list(), options_group);
  country_box = list_box(country_list(), options_group);
  value_box = number_box(65535, options_group);
  QWidget* const option_fields[5] = {direction_box, cvf_box, mint_box, country_box, value_box};
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
  for (QCheckBox* box : {cctalk_box, sel_box, fake_box, enabled_box}) {
    connect(box, &QCheckBox::toggled, this, [this] { edited(); });
  }
  for (QComboBox* box : {direction_box, cvf_box, mint_box, country_box}) {
    connect(box, &QComboBox::currentIndexChanged, this, [this] { edited(); });
  }
  connect(value_box, &QSpinBox::valueChanged, this, [this] { edited(); });

  init_language();
  refresh();
}

void ChannelsPageWidget::init_language() {
  channel_group->setTitle(text_of(msg::kChannel));
  parameters_group->setTitle(text_of(msg::kParameterTollerance));
  status_group->setTitle(text_of(msg::kStatus));
  options_group->setTitle(text_of(msg::kOptionsGroup));
  // Two captions over four boxes, as the boxes sit in pairs.
  // "ccTalk" is the protocol's name in every language.
  status_captions[0]->setText("ccTalk  " + text_of(msg::kSelShort));
  status_captions[1]->setText(QString::fromStdString(language_text(msg::kFakeEn)));
  cctalk_box->setToolTip(text_of(msg::kCcTalkEnabledTip));
  sel_box->setToolTip(text_of(msg::kSelectiveInhibitTip));
  fake_box->setToolTip(text_of(msg::kFakeCoinTip));
  enabled_box->setToolTip(text_of(msg::kChannelEnabledTip));
  const QString captions[5] = {text_of(msg::kDirShort), "CVF", text_of(msg::kMintShort),
                               text_of(msg::kCc), text_of(msg::kVal)};
  for (int i = 0; i < 5; ++i) option_captions_[i]->setText(captions[i]);
  country_box->setItemText(kCountryNotProgrammed, ".. - " + text_of(msg::kNotProgrammedLower));
}

void ChannelsPageWidget::refresh() {
  rendering_ = true;
  const ChannelView& view = model_.view;
  channel_number_box->setValue(model_.channel_number);
  for (int k = 0; k < kChannelParameterCount; ++k) {
    parameters[k]->setValue(view.parameters[k]);
    tolerances[k]->setValue(view.tolerances[k]);
  }
  cctalk_box->setChecked(view.cctalk);
  sel_box->setChecked(view.selective);
  fake_box->setChecked(view.fake);
  enabled_box->setChecked(view.enabled);
  direction_box->setCurrentIndex(view.direction);
  cvf_box->setCurrentIndex(view.cvf);
  mint_box->setCurrentIndex(view.mint);
  country_box->setCurrentIndex(view.country);
  value_box->setValue(view.value);
  rendering_ = false;
}

void ChannelsPageWidget::edited() {
  if (rendering_) return;
  ChannelView& view = model_.view;
  for (int k = 0; k < kChannelParameterCount; ++k) {
    view.parameters[k] = parameters[k]->value();
    view.tolerances[k] = tolerances[k]->value();
  }
  view.cctalk = cctalk_box->isChecked();
  view.selective = sel_box->isChecked();
  view.fake = fake_box->isChecked();
  view.enabled = enabled_box->isChecked();
  view.direction = direction_box->currentIndex();
  view.cvf = cvf_box->currentIndex();
  view.mint = mint_box->currentIndex();
  view.country = country_box->currentIndex();
  view.value = value_box->value();
  model_.mark_modified();
}

void ChannelsPageWidget::change_channel(int m) {
  images_.loaded_sections |= model_.change_channel(m);
  refresh();
}

}  // namespace qv82
