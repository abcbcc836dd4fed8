#include "ui/config_page.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "lang/language.h"
#include "ui/config_page_widgets.h"

namespace qv82 {

namespace {

// Controls that come and go keep their place, so the page does not reflow.
template <typename W>
W* steady(W* widget) {
  QSizePolicy policy = widget->sizePolicy();
  policy.setRetainSizeWhenHidden(true);
  widget->setSizePolicy(policy);
  return widget;
}

QSpinBox* number_box(QWidget* parent, int width = 56) {
  auto* box = steady(new QSpinBox(parent));
  box->setFixedWidth(width);
  box->setKeyboardTracking(false);
  return box;
}

constexpr int kChannelWidth = 16;
constexpr int kWidestIoGroup = 1120;
constexpr int kDisplayListCharacters = 14;
// The parameters of the first " Common parameters " group, in page order,
// and the one whose unit is the minutes/seconds choice.
constexpr std::size_t kCommonGroupParameters[] = {1, 2, 3, 4, 5, 6, 7, 9, 10};
constexpr std::size_t kMultiplierParameter = 10;

// Eight channel boxes, or the numbers above them.
QWidget* channel_strip(QWidget* parent, const std::array<const char*, 8>& numbers,
                       std::vector<QLabel*>& labels, QCheckBox** boxes) {
  auto* strip = steady(new QWidget(parent));
  auto* layout = new QHBoxLayout(strip);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(1);
  for (int i = 0; i < 8; ++i) {
    QWidget* cell;
    if (boxes != nullptr) {
      boxes[i] = new QCheckBox(strip);
      cell = boxes[i];
    } else {
      auto* label = steady(new QLabel(QString::fromLatin1(numbers[i]), strip));
      label->setAlignment(Qt::AlignCenter);
      if (numbers[i][0] != '\0') labels.push_back(label);
      cell = label;
    }
    cell->setFixedWidth(kChannelWidth);
    layout->addWidget(cell);
  }
  return strip;
}

}  // namespace

ConfigPage::ConfigPage(ConfigurationRules& rules_, QWidget* parent)
    : QWidget(parent), rules(rules_) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->setSpacing(4);
  layout->addWidget(make_top_row());
  // On a wide screen the rows would spread their columns apart; past a
  // laptop's width the group keeps its size at the left.
  layout->addWidget(make_io_group());
  io_group->setMaximumWidth(kWidestIoGroup);
  layout->addWidget(make_bottom_row());
  layout->addStretch(1);
  // Compact groups: the page has to fit a 1024 x 768 window.
  for (QGroupBox* group : findChildren<QGroupBox*>()) {
    if (group->layout() != nullptr) group->layout()->setContentsMargins(6, 2, 6, 4);
  }
  refresh();
}

void ConfigPage::init_language() {
  captions_.apply();
  rules.relabel();
  for (std::size_t p = 0; p < rows.size(); ++p) {
    rows[p].caption->setText(QString::fromStdString(rules.page.rows[p].caption));
  }
  for (std::size_t k = 1; k <= parameters.size(); ++k) {
    if (QLabel* caption = parameters[k - 1].caption) {
      caption->setText(QString::fromStdString(rules.page.parameter(k).caption));
    }
  }
  refresh();
}

QWidget* ConfigPage::make_top_row() {
  auto* row = new QWidget(this);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);

  versions_group = captions_.add(new QGroupBox(row), msg::kVersionSelection);
  versions = new OpeningComboBox(versions_group);
  versions->setMinimumWidth(200);
  versions->setObjectName("versions");
  store_button =
      steady(captions_.add(new QPushButton(versions_group), msg::kSetAsStandardConfiguration));
  auto* versions_layout = new QHBoxLayout(versions_group);
  versions_layout->addWidget(versions, 1);
  versions_layout->addWidget(store_button);
  layout->addWidget(versions_group, 3);

  separator_group = steady(captions_.add(new QGroupBox(row), msg::kSorterSelection));
  separators = new QComboBox(separator_group);
  separators->setMinimumWidth(120);
  accept_separator = captions_.add(new QPushButton(separator_group), msg::kAccept);
  auto* separator_layout = new QHBoxLayout(separator_group);
  separator_layout->addWidget(separators, 1);
  separator_layout->addWidget(accept_separator);
  layout->addWidget(separator_group, 2);

  other_group = steady(captions_.add(new QGroupBox(row), msg::kOtherSettings));
  cctalk_address_button = captions_.add(new QPushButton(other_group), msg::kCcTalkAddress);
  pin_button = captions_.add(new QPushButton(other_group), msg::kPin);
  auto* other_layout = new QHBoxLayout(other_group);
  other_layout->addWidget(cctalk_address_button);
  other_layout->addWidget(pin_button);
  layout->addWidget(other_group, 1);

  versions->before_open = [this] { act([this] { rules.versions_list_opened(); }); };
  connect(versions, &QComboBox::activated, this, [this](int index) {
    act([this, index] { rules.choose_standard_configuration(index); });
  });
  connect(store_button, &QPushButton::clicked, this, [this] {
    act([this] {
      rules.store_standard_configuration(
          [this](const std::string& caption, const ConfigurationRules::NameCheckFn& check) {
            return ask_name(caption, check);
          });
    });
  });
  connect(separators, &QComboBox::activated, this,
          [this](int index) { act([this, index] { rules.choose_separator(index); }); });
  connect(accept_separator, &QPushButton::clicked, this,
          [this] { act([this] { rules.accept_separator(); }); });
  connect(cctalk_address_button, &QPushButton::clicked, this, [this] {
    if (on_cctalk_address) on_cctalk_address();
  });
  connect(pin_button, &QPushButton::clicked, this, [this] {
    if (on_pin) on_pin();
  });
  return row;
}

QWidget* ConfigPage::make_io_group() {
  io_group = steady(captions_.add(new QGroupBox(this), msg::kIoConfiguration));
  auto* grid = new QGridLayout(io_group);
  grid->setHorizontalSpacing(4);
  grid->setVerticalSpacing(2);

  edit = captions_.add(new QCheckBox(io_group), msg::kEdit);
  grid->addWidget(edit, 0, 0, 1, 3);
  connect(edit, &QCheckBox::clicked, this,
          [this](bool checked) { act([this, checked] { rules.set_edit(checked); }); });

  heading_time_on = steady(captions_.add(new QLabel(io_group), msg::kTimeOn));
  heading_time_off = steady(captions_.add(new QLabel(io_group), msg::kTimeOff));
  heading_value = steady(captions_.add(new QLabel(io_group), msg::kValue));
  heading_channels = steady(captions_.add(new QLabel(io_group), msg::kChannels));
  heading_directions = steady(captions_.add(new QLabel(io_group), msg::kDirections));
  grid->addWidget(heading_value, 0, 5, 1, 2);
  grid->addWidget(heading_time_on, 1, 3, 1, 2);
  grid->addWidget(heading_time_off, 1, 5, 1, 2);
  auto* channel_heads = new QHBoxLayout;
  channel_heads->setSpacing(12);
  channel_heads->addWidget(heading_channels);
  channel_heads->addWidget(heading_directions);
  channel_heads->addStretch();
  grid->addLayout(channel_heads, 0, 9, 1, 2);
  grid->addWidget(
      channel_strip(io_group, {"16", "", "", "", "12", "", "", ""}, channel_numbers, nullptr), 1,
      9);
  grid->addWidget(
      channel_strip(io_group, {"8", "", "", "", "4", "", "", "1"}, channel_numbers, nullptr), 1,
      10);

  for (int p = 1; p <= 8; ++p) make_row(p, grid, p + 1);
  grid->setColumnMinimumWidth(2, 170);
  grid->setColumnStretch(2, 1);
  return io_group;
}

void ConfigPage::make_row(int position, QGridLayout* grid, int line) {
  RowWidgets& w = rows[static_cast<std::size_t>(position - 1)];
  QWidget* parent = io_group;
  w.caption = new QLabel(QString::fromStdString(rules.page.rows[position - 1].caption), parent);
  w.function = steady(new FunctionList(parent));
  w.function->setObjectName(QString("function%1").arg(position));
  w.note = new QLabel(parent);
  w.note->setMinimumWidth(150);
  w.time_on = number_box(parent, 66);
  w.warning = steady(new QComboBox(parent));
  // As wide as its longest choice ("Timeout warning"); a warning row shows
  // no times, so it may take their columns.
  w.warning->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  w.warning->view()->setMinimumWidth(160);
  w.time_on_unit = steady(new QLabel(parent));
  w.time_on_unit->setFixedWidth(20);
  w.time_off = number_box(parent, 66);
  w.value = number_box(parent, 66);
  w.time_off_unit = steady(new QLabel(parent));
  w.time_off_unit->setFixedWidth(20);
  w.level = steady(new QToolButton(parent));
  w.direction = steady(new QToolButton(parent));
  for (QToolButton* button : {w.level, w.direction}) {
    button->setIconSize(QSize(20, 20));
    button->setFixedSize(24, 22);
  }
  std::vector<QLabel*> unused;
  w.channels_high = channel_strip(parent, {}, unused, &w.channels[8]);
  w.channels_low = channel_strip(parent, {}, unused, &w.channels[0]);
  // Left to right the boxes run 16 ... 9 and 8 ... 1.
  std::reverse(w.channels.begin(), w.channels.begin() + 8);
  std::reverse(w.channels.begin() + 8, w.channels.end());
  w.impulses_caption = steady(new QLabel(parent));
  // "Imp." and "Div." take the same room, so the column does not move.
  const QFontMetrics metrics(w.impulses_caption->font());
  w.impulses_caption->setMinimumWidth(
      std::max(metrics.horizontalAdvance("Imp."), metrics.horizontalAdvance("Div.")) + 4);
  w.impulses = number_box(parent, 54);

  grid->addWidget(w.caption, line, 0);
  grid->addWidget(w.function, line, 1);
  grid->addWidget(w.note, line, 2);
  grid->addWidget(w.time_on, line, 3);
  grid->addWidget(w.warning, line, 3, 1, 4, Qt::AlignLeft | Qt::AlignVCenter);
  grid->addWidget(w.time_on_unit, line, 4);
  grid->addWidget(w.time_off, line, 5);
  grid->addWidget(w.value, line, 5);
  grid->addWidget(w.time_off_unit, line, 6);
  grid->addWidget(w.level, line, 7);
  grid->addWidget(w.direction, line, 8);
  grid->addWidget(w.channels_high, line, 9);
  grid->addWidget(w.channels_low, line, 10);
  grid->addWidget(w.impulses_caption, line, 11);
  grid->addWidget(w.impulses, line, 12);
  connect_row(position);
}

QWidget* ConfigPage::make_bottom_row() {
  auto* row = new QWidget(this);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);

  common_group = steady(captions_.add(new QGroupBox(row), msg::kCommonParameters));
  auto* common = new QGridLayout(common_group);
  common->setVerticalSpacing(2);
  for (std::size_t k : {1, 2, 3, 4, 5}) make_parameter(k, common, static_cast<int>(k) - 1, 0);
  make_parameter(6, common, 0, 3);
  make_parameter(7, common, 1, 3);
  make_parameter(9, common, 2, 3);
  make_parameter(10, common, 3, 3);
  multiplier_unit = steady(new QComboBox(common_group));
  multiplier_unit->addItems({"m", "s"});
  common->addWidget(multiplier_unit, 3, 5);
  // Any parameter may come to either column (see place_common_parameters):
  // each column is as wide as the widest, so the group keeps its size.
  int caption_width = 0;
  int unit_width = multiplier_unit->sizeHint().width();
  for (std::size_t k : kCommonGroupParameters) {
    caption_width = std::max(caption_width, parameters[k - 1].caption->sizeHint().width());
    unit_width = std::max(unit_width, parameters[k - 1].unit->minimumSizeHint().width());
  }
  for (int column : {0, 3}) {
    common->setColumnMinimumWidth(column, caption_width);
    common->setColumnMinimumWidth(column + 2, unit_width);
  }
  connect(multiplier_unit, &QComboBox::activated, this, [this](int index) {
    act([this, index] { rules.set_multiplier_in_minutes(index == 0); });
  });
  auto* common_column = new QVBoxLayout;
  common_column->addWidget(common_group);
  common_group2 = steady(captions_.add(new QGroupBox(row), msg::kCommonParameters));
  auto* common2 = new QGridLayout(common_group2);
  make_parameter(12, common2, 0, 0);
  make_parameter(13, common2, 1, 0);
  common_column->addWidget(common_group2);
  common_column->addStretch();
  layout->addLayout(common_column);

  display_group = steady(captions_.add(new QGroupBox(row), msg::kDisplaySelection));
  auto* display = new QGridLayout(display_group);
  display_type_caption = captions_.add(new QLabel(display_group), msg::kType);
  display_type = new QComboBox(display_group);
  display_show_caption = steady(captions_.add(new QLabel(display_group), msg::kWiew));
  display_show = steady(new QComboBox(display_group));
  display_multiplier_caption = steady(captions_.add(new QLabel(display_group), msg::kMultiplyer));
  display_multiplier = steady(new QComboBox(display_group));
  display_decimals_caption = steady(captions_.add(new QLabel(display_group), msg::kDecimals));
  display_decimals = number_box(display_group, 50);
  display->addWidget(display_type_caption, 0, 0);
  display->addWidget(display_type, 0, 1);
  display->addWidget(display_show_caption, 1, 0);
  display->addWidget(display_show, 1, 1);
  display->addWidget(display_multiplier_caption, 2, 0);
  display->addWidget(display_multiplier, 2, 1);
  display->addWidget(display_decimals_caption, 3, 0);
  display->addWidget(display_decimals, 3, 1, Qt::AlignLeft);
  // As wide for every display type: the lists change with the type, and the
  // groups right of this one must not move with them.
  for (QComboBox* list : {display_type, display_show, display_multiplier}) {
    list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    list->setMinimumContentsLength(kDisplayListCharacters);
  }
  auto* lists = new QVBoxLayout;
  lists->addWidget(display_group);
  dip_group = captions_.add(new QGroupBox(row), msg::kDipSwitchMode);
  dip_mode = new QComboBox(dip_group);
  (new QVBoxLayout(dip_group))->addWidget(dip_mode);
  lists->addWidget(dip_group);
  lists->addStretch();
  layout->addLayout(lists);
  connect(display_type, &QComboBox::activated, this,
          [this](int index) { act([this, index] { rules.display_type_chosen(index); }); });
  connect(display_show, &QComboBox::activated, this,
          [this](int index) { act([this, index] { rules.display_show_chosen(index); }); });
  const auto display_data = [this] {
    act([this] {
      rules.display_data_changed(display_multiplier->currentIndex(), display_decimals->value());
    });
  };
  connect(display_multiplier, &QComboBox::activated, this, display_data);
  connect(display_decimals, &QSpinBox::valueChanged, this, display_data);
  connect(dip_mode, &QComboBox::activated, this,
          [this](int index) { act([this, index] { rules.dip_mode_chosen(index); }); });

  auto* modes = new QVBoxLayout;
  stop_group = captions_.add(new QGroupBox(row), msg::kStopMode);
  stop_text = new QLabel(stop_group);
  auto* stop = new QGridLayout(stop_group);
  stop->addWidget(stop_text, 0, 0, 1, 3);
  make_parameter(8, stop, 1, 0);
  modes->addWidget(stop_group);
  autoprog_group = captions_.add(new QGroupBox(row), msg::kAutoprogMode);
  autoprog_text = new QLabel(autoprog_group);
  (new QVBoxLayout(autoprog_group))->addWidget(autoprog_text);
  modes->addWidget(autoprog_group);
  fraud_group = captions_.add(new QGroupBox(row), msg::kFraudInhibit);
  make_parameter(17, new QGridLayout(fraud_group), 0, 0);
  modes->addWidget(fraud_group);
  layout->addLayout(modes);
  layout->addStretch(1);
  return row;
}

void ConfigPage::place_common_parameters() {
  // The places of the group, down the first column and then the second.
  static constexpr std::pair<int, int> kPlaces[] = {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0},
                                                    {0, 3}, {1, 3}, {2, 3}, {3, 3}};
  static_assert(std::size(kPlaces) == std::size(kCommonGroupParameters));
  // The parameters shown fill the places from the first, without the gaps of
  // the hidden ones; the hidden take the last places and keep their room.
  std::vector<std::size_t> order;
  for (bool shown : {true, false}) {
    for (std::size_t k : kCommonGroupParameters) {
      if (rules.page.parameter(k).box.visible == shown) order.push_back(k);
    }
  }
  auto* grid = static_cast<QGridLayout*>(common_group->layout());
  for (std::size_t i = 0; i < order.size(); ++i) {
    const auto [line, column] = kPlaces[i];
    ParameterWidgets& w = parameters[order[i] - 1];
    QWidget* cells[] = {w.caption, w.box, w.unit};
    for (int c = 0; c < 3; ++c) {
      grid->removeWidget(cells[c]);
      grid->addWidget(cells[c], line, column + c);
    }
    if (order[i] == kMultiplierParameter) {
      grid->removeWidget(multiplier_unit);
      grid->addWidget(multiplier_unit, line, column + 2);
    }
  }
}

void ConfigPage::make_parameter(std::size_t k, QGridLayout* grid, int line, int column) {
  ParameterWidgets& w = parameters[k - 1];
  QWidget* parent = grid->parentWidget();
  w.caption = steady(new QLabel(QString::fromStdString(rules.page.parameter(k).caption), parent));
  w.box = number_box(parent);
  w.unit = steady(new QLabel(parent));
  // Stop and inhibit times read "Disabled" or "Reset" at their ends.
  w.unit->setMinimumWidth(
      k == 8 || k == 17 ? w.unit->fontMetrics().horizontalAdvance("Disabled") + 4 : 12);
  grid->addWidget(w.caption, line, column);
  grid->addWidget(w.box, line, column + 1);
  grid->addWidget(w.unit, line, column + 2);
  connect_parameter(k);
}

}  // namespace qv82
