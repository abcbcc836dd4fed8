#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QToolButton>
#include <exception>

#include "rules/io_button_words.h"
#include "ui/config_page.h"
#include "ui/config_page_widgets.h"
#include "ui/configuration_name_dialog.h"

namespace qv82 {

namespace {

QString q(const std::string& text) { return QString::fromStdString(text); }

void show_list(QComboBox* combo, const ChoiceList& list) {
  const QSignalBlocker block(combo);
  QStringList items;
  for (const std::string& item : list.items) items << q(item);
  bool same = combo->count() == items.size();
  for (int i = 0; same && i < items.size(); ++i) same = combo->itemText(i) == items[i];
  if (!same) {
    combo->clear();
    combo->addItems(items);
  }
  combo->setCurrentIndex(list.has_selection() ? list.index : -1);
}

void show_box(QSpinBox* spin, const NumberBox& box) {
  const QSignalBlocker block(spin);
  spin->setRange(box.minimum, box.maximum);
  spin->setSingleStep(box.step > 0 ? box.step : 1);
  spin->setValue(box.value);
  spin->setVisible(box.visible);
}

}  // namespace

void ConfigPage::act(const std::function<void()>& rule) {
  if (rendering_) return;
  try {
    rule();
  } catch (const std::exception& e) {
    rules.ui.error(e.what());
  }
  refresh();
  emit edited();
}

std::optional<std::string> ConfigPage::ask_name(const std::string& caption,
                                                const ConfigurationRules::NameCheckFn& check) {
  if (name_dialog) return name_dialog(caption, check);
  ConfigurationNameDialog dialog(rules.ui, {}, this);
  dialog.setWindowTitle(q(caption));
  dialog.check = check;
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.name();
}

void ConfigPage::connect_row(int position) {
  RowWidgets& w = rows[static_cast<std::size_t>(position - 1)];
  IoRow& model = rules.page.rows[static_cast<std::size_t>(position - 1)];
  connect(w.function, &QComboBox::activated, this, [this, position](int index) {
    act([this, position, index] { rules.pick_io_function(position, index); });
  });
  connect(w.time_on, &QSpinBox::valueChanged, this, [this, position, &model](int value) {
    act([this, position, &model, value] {
      model.time_on.value = value;
      rules.time_on_changed(position);
    });
  });
  connect(w.value, &QSpinBox::valueChanged, this, [this, position, &model](int value) {
    act([this, position, &model, value] {
      model.value.value = value;
      rules.time_on_changed(position);
    });
  });
  connect(w.time_off, &QSpinBox::valueChanged, this,
          [this, &model](int value) { act([&model, value] { model.time_off.value = value; }); });
  connect(w.impulses, &QSpinBox::valueChanged, this, [this, position, &model](int value) {
    act([this, position, &model, value] {
      model.impulses.value = value;
      rules.impulses_changed(position);
    });
  });
  connect(w.warning, &QComboBox::activated, this, [this, position](int index) {
    act([this, position, index] { rules.warning_chosen(position, index); });
  });
  connect(w.level, &QToolButton::clicked, this,
          [this, position] { act([this, position] { rules.toggle_level(position); }); });
  connect(w.direction, &QToolButton::clicked, this,
          [this, position] { act([this, position] { rules.toggle_direction(position); }); });
  for (std::size_t i = 0; i < 16; ++i) {
    connect(w.channels[i], &QCheckBox::toggled, this,
            [this, &model, i](bool on) { act([&model, i, on] { model.channels[i] = on; }); });
  }
}

void ConfigPage::connect_parameter(std::size_t k) {
  ParameterWidgets& w = parameters[k - 1];
  connect(w.box, &QSpinBox::valueChanged, this, [this, k](int value) {
    act([this, k, value] {
      rules.page.parameter(k).box.value = value;
      rules.parameter_changed(k);
    });
  });
}

void ConfigPage::refresh() {
  rendering_ = true;
  const ConfigPageModel& page = rules.page;
  show_list(versions, page.versions);
  store_button->setVisible(page.store_button_visible);
  show_list(separators, page.separators);
  other_group->setVisible(on_cctalk_address || on_pin);

  io_group->setVisible(page.io_configuration_visible);
  separator_group->setVisible(page.separator_settings_visible);
  display_group->setVisible(page.display_options_visible);
  common_group->setVisible(page.common_parameters_visible);
  common_group2->setVisible(page.common_parameters_visible);
  {
    const QSignalBlocker block(edit);
    edit->setChecked(page.edit_checked);
  }
  const ColumnHeadings& h = page.headings;
  heading_time_on->setVisible(h.time_on);
  heading_time_off->setVisible(h.time_off);
  heading_value->setVisible(h.value);
  heading_channels->setVisible(h.channels);
  heading_directions->setVisible(h.directions);
  const bool numbers[] = {h.ch16, h.ch12, h.ch8, h.ch4, h.ch1};
  for (std::size_t i = 0; i < channel_numbers.size() && i < 5; ++i) {
    channel_numbers[i]->setVisible(numbers[i]);
  }
  for (int p = 1; p <= 8; ++p) render_row(p);
  render_parameters();
  render_lists();
  rendering_ = false;
}

void ConfigPage::render_row(int position) {
  RowWidgets& w = rows[static_cast<std::size_t>(position - 1)];
  const IoRow& row = rules.page.rows[static_cast<std::size_t>(position - 1)];
  show_list(w.function, row.function);
  w.function->setVisible(row.function.visible);
  w.note->setText(q(row.note));
  show_box(w.time_on, row.time_on);
  w.time_on_unit->setText(q(row.time_on_unit));
  w.time_on_unit->setVisible(row.time_on.visible);
  show_box(w.time_off, row.time_off);
  w.time_off_unit->setText(q(row.time_off_unit));
  w.time_off_unit->setVisible(row.time_off.visible);
  show_box(w.value, row.value);
  show_list(w.warning, row.warning);
  w.warning->setVisible(row.warning.visible);
  w.level->setIcon(io_image(row.level_image));
  w.level->setToolTip(q(io_button_words(row.level_image)));
  w.level->setVisible(row.level_visible);
  w.direction->setIcon(io_image(row.direction_image));
  w.direction->setToolTip(q(io_button_words(row.direction_image)));
  w.direction->setVisible(row.direction_visible);
  for (std::size_t i = 0; i < 16; ++i) {
    const QSignalBlocker block(w.channels[i]);
    w.channels[i]->setChecked(row.channels[i]);
  }
  w.channels_high->setVisible(row.channels_high_visible);
  w.channels_low->setVisible(row.channels_low_visible);
  show_box(w.impulses, row.impulses);
  w.impulses_caption->setText(q(row.impulses_caption));
  w.impulses_caption->setVisible(row.impulses.visible);
  // Only the boxes of the rows that have them.
  if (position > 6) {
    w.warning->hide();
    w.value->hide();
    w.channels_high->hide();
    w.channels_low->hide();
  }
  if (position == 8) {
    w.time_off->hide();
    w.time_off_unit->hide();
  }
  if (position < 7) {
    w.impulses->hide();
    w.impulses_caption->hide();
  }
}

void ConfigPage::render_parameters() {
  const ConfigPageModel& page = rules.page;
  for (std::size_t k = 1; k <= kCommonParameterCount; ++k) {
    ParameterWidgets& w = parameters[k - 1];
    if (w.box == nullptr) continue;
    const ParameterControl& control = page.parameter(k);
    show_box(w.box, control.box);
    w.caption->setVisible(control.box.visible);
    w.unit->setText(q(control.unit));
    w.unit->setVisible(control.box.visible);
  }
  const QSignalBlocker block(multiplier_unit);
  multiplier_unit->setCurrentIndex(page.multiplier_in_minutes ? 0 : 1);
  multiplier_unit->setVisible(page.parameter(10).box.visible);
  place_common_parameters();
  stop_text->setText(q(page.stop_mode_text));
  autoprog_text->setText(q(page.autoprog_mode_text));
}

void ConfigPage::render_lists() {
  const ConfigPageModel& page = rules.page;
  show_list(display_type, page.display_type);
  show_list(display_show, page.display_show);
  display_show->setVisible(page.display_show.visible);
  display_show_caption->setVisible(page.display_show.visible);
  show_list(display_multiplier, page.display_multiplier);
  display_multiplier->setVisible(page.display_multiplier.visible);
  display_multiplier_caption->setVisible(page.display_multiplier.visible);
  show_box(display_decimals, page.display_decimals);
  display_decimals_caption->setVisible(page.display_decimals.visible);
  show_list(dip_mode, page.dip_mode);
}

}  // namespace qv82
