#include "ui/channel_record_editor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

#include "channels/country_list.h"
#include "lang/language.h"
#include "ui/typed_limit_spin_box.h"

namespace qv82 {

namespace {

constexpr int kLargestValue = 65535;  // "Val." is two bytes
constexpr int kCvfCaption = -1;       // no message: the caption is the same in every language

template <typename Box>
Box* number_box(Box* box, int maximum) {
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

ChannelRecordEditor::ChannelRecordEditor(const ChannelRecordStyle& style, QWidget* parent)
    : QWidget(parent) {
  auto* frame = captions_.add(new QGroupBox(this), msg::kParameterTollerance);
  auto* grid = new QGridLayout(frame);
  for (int k = 0; k < kChannelParameterCount; ++k) {
    auto* label = new QLabel(QString::number(k + 1) + ".", frame);
    label->setAlignment(Qt::AlignCenter);
    grid->addWidget(label, 0, k);
    parameters[k] = number_box(new QSpinBox(frame), 255);
    tolerances[k] = number_box(new QSpinBox(frame), 255);
    grid->addWidget(parameters[k], 1, k);
    grid->addWidget(tolerances[k], 2, k);
  }
  cctalk_box = new QCheckBox(this);
  sel_box = new QCheckBox(this);
  fake_box = new QCheckBox(this);
  enabled_box = new QCheckBox(this);
  direction_box = list_box(direction_list(), this);
  cvf_box = list_box(cvf_list(style.cvf_list), this);
  mint_box = list_box(mint_list(), this);
  country_box = list_box(country_list(), this);
  value_box = number_box(style.typed_value_limit < kLargestValue
                             ? new TypedLimitSpinBox(kLargestValue, style.typed_value_limit, this)
                             : new QSpinBox(this),
                         kLargestValue);
  if (style.compact) {
    lay_out_compact(frame, grid);
  } else {
    lay_out_apart(frame);
  }

  const auto changed = [this] {
    if (!showing_) emit edited();
  };
  for (const auto& boxes : {parameters, tolerances}) {
    for (QSpinBox* box : boxes) connect(box, &QSpinBox::valueChanged, this, changed);
  }
  for (QCheckBox* box : {cctalk_box, sel_box, fake_box, enabled_box}) {
    connect(box, &QCheckBox::toggled, this, changed);
  }
  for (QComboBox* box : {direction_box, cvf_box, mint_box, country_box}) {
    connect(box, &QComboBox::currentIndexChanged, this, changed);
  }
  connect(value_box, &QSpinBox::valueChanged, this, changed);
  init_language();
}

std::array<std::pair<int, QWidget*>, 5> ChannelRecordEditor::option_fields() const {
  return {{{msg::kDirShort, direction_box},
           {kCvfCaption, cvf_box},
           {msg::kMintShort, mint_box},
           {msg::kCc, country_box},
           {msg::kVal, value_box}}};
}

QLabel* ChannelRecordEditor::option_caption(int caption, QWidget* parent) {
  // CVF is a name, the same in every language.
  return caption == kCvfCaption ? new QLabel("CVF", parent)
                                : captions_.add(new QLabel(parent), caption);
}

// The channels page: status and options in frames of their own under the parameters, the
// check boxes in pairs under two captions.
void ChannelRecordEditor::lay_out_apart(QWidget* parameters_frame) {
  auto* status_group = captions_.add(new QGroupBox(this), msg::kStatus);
  auto* status = new QGridLayout(status_group);
  status_caption_ = new QLabel(status_group);
  status->addWidget(status_caption_, 0, 0, 1, 2);
  status->addWidget(captions_.add(new QLabel(status_group), msg::kFakeEn), 0, 2, 1, 2);
  status->addWidget(cctalk_box, 1, 0);
  status->addWidget(sel_box, 1, 1);
  status->addWidget(fake_box, 1, 2);
  status->addWidget(enabled_box, 1, 3);

  auto* options_group = captions_.add(new QGroupBox(this), msg::kOptionsGroup);
  auto* options = new QGridLayout(options_group);
  int column = 0;
  for (const auto& [caption, field] : option_fields()) {
    options->addWidget(option_caption(caption, options_group), 0, column);
    options->addWidget(field, 1, column++);
  }

  auto* lower = new QHBoxLayout;
  lower->addWidget(status_group);
  lower->addWidget(options_group, 1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(parameters_frame);
  layout->addLayout(lower);
}

// Coin programming: everything inside the parameters' frame, each check box and field with
// its caption beside it.
void ChannelRecordEditor::lay_out_compact(QWidget* parameters_frame, QGridLayout* grid) {
  cctalk_box->setText("ccTalk");  // the protocol's name in every language
  captions_.add(sel_box, msg::kSelShort);
  captions_.add(fake_box, msg::kFakeShort);
  captions_.add(enabled_box, msg::kEnabledShort);
  auto* status = captions_.add(new QGroupBox(parameters_frame), msg::kStatus);
  auto* status_layout = new QHBoxLayout(status);
  for (QCheckBox* c : {cctalk_box, sel_box, fake_box, enabled_box}) status_layout->addWidget(c);

  auto* options = new QGroupBox(parameters_frame);
  auto* options_layout = new QHBoxLayout(options);
  for (const auto& [caption, field] : option_fields()) {
    options_layout->addWidget(option_caption(caption, options));
    options_layout->addWidget(field);
  }
  grid->addWidget(status, 3, 0, 1, 5);
  grid->addWidget(options, 3, 5, 1, kChannelParameterCount - 5);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(parameters_frame);
}

void ChannelRecordEditor::init_language() {
  captions_.apply();
  // Two captions over four boxes, as the boxes sit in pairs.
  if (status_caption_ != nullptr) {
    status_caption_->setText("ccTalk  " + message_text(msg::kSelShort));
  }
  cctalk_box->setToolTip(message_text(msg::kCcTalkEnabledTip));
  sel_box->setToolTip(message_text(msg::kSelectiveInhibitTip));
  fake_box->setToolTip(message_text(msg::kFakeCoinTip));
  enabled_box->setToolTip(message_text(msg::kChannelEnabledTip));
  country_box->setItemText(kCountryNotProgrammed,
                           ".. - " + message_text(msg::kNotProgrammedLower));
}

void ChannelRecordEditor::show_view(const ChannelView& view) {
  showing_ = true;
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
  showing_ = false;
}

ChannelView ChannelRecordEditor::view() const {
  ChannelView view;
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
  return view;
}

}  // namespace qv82
