#include "rules/config_page_model.h"

#include "lang/language.h"

namespace qv82 {

namespace {

constexpr int kRowCaptions[kIoRecordCount] = {
    msg::kOutput1Label, msg::kOutput2Label, msg::kOutput3Label, msg::kOutput4Label,
    msg::kOutput5Label, msg::kOutput6Label, msg::kIn2Out7Label, msg::kInput1Label};

struct ParameterLook {
  int caption;  // message number, or -1 for the key itself
  int minimum;
  int maximum;
  bool seconds;
};

// In param_image order. 11, 14 and 15 are shown by lists; 16 and 18 have no
// visible control.
constexpr ParameterLook kParameterLooks[kCommonParameterCount] = {
    {msg::kCreditCaption, 1, 255, false},
    {msg::kBonus1Level, 0, 255, false},
    {msg::kBonus1Value, 0, 255, false},
    {msg::kBonus2Level, 0, 255, false},
    {msg::kBonus2Value, 0, 255, false},
    {msg::kBonusTime, 0, 255, true},
    {msg::kRestTime, 0, 255, true},
    {msg::kTime, 5, 255, true},
    {msg::kTimeOutWarning, 0, 255, true},
    {msg::kTimeMultiplyer, 1, 127, false},
    {msg::kDipSwitchMode, 0, 255, false},
    {msg::kInputValueMultiplier, 0, 255, false},
    {msg::kMultipriceMode, 0, 1, false},
    {-1, 0, 255, false},
    {-1, 0, 255, false},
    {-1, 0, 255, false},
    {msg::kTime, 0, 255, false},
    {-1, 0, 255, false},
};

}  // namespace

std::vector<std::string> display_multiplier_items() {
  const std::string no = language_text(msg::kNo);
  return {no,   "1",   "2",   "4",   "5",   "10",   "20", "25",
          "50", "100", "200", "250", "500", "1000", no,   no};
}

ConfigPageModel::ConfigPageModel() {
  for (std::size_t p = 0; p < kIoRecordCount; ++p) {
    IoRow& row = rows[p];
    row.function.visible = false;
    row.time_on.step = 5;
    row.time_on.minimum = p == 7 ? 0 : 5;
    row.time_on.maximum = 1275;
    row.time_off.step = 5;
    row.time_off.maximum = 1275;
    row.value.maximum = 255;
    row.warning.visible = false;
    row.impulses.minimum = 1;
    row.impulses.maximum = 255;
    row.impulses.value = 1;
  }
  for (std::size_t k = 1; k <= kCommonParameterCount; ++k) {
    const ParameterLook& look = kParameterLooks[k - 1];
    ParameterControl& control = parameter(k);
    control.box.minimum = look.minimum;
    control.box.maximum = look.maximum;
    control.box.value = look.minimum;
    if (look.seconds) control.unit = "s";
  }
  display_type.visible = true;
  display_show.visible = false;
  display_multiplier.items = display_multiplier_items();
  display_multiplier.index = 0;
  display_multiplier.visible = false;
  display_decimals.maximum = 3;
  display_decimals.visible = false;
  relabel();
}

void ConfigPageModel::relabel() {
  for (std::size_t p = 0; p < kIoRecordCount; ++p) rows[p].caption = language_text(kRowCaptions[p]);
  for (std::size_t k = 1; k <= kCommonParameterCount; ++k) {
    const ParameterLook& look = kParameterLooks[k - 1];
    parameter(k).caption =
        look.caption >= 0 ? language_text(look.caption) : std::string(common_parameter_key(k));
  }
  const auto mode_text = [](unsigned mode) {
    return language_text(mode == 1 ? msg::kMode1 : mode == 2 ? msg::kMode2 : msg::kDisabled);
  };
  display_multiplier.items = display_multiplier_items();
  stop_mode_text = mode_text((modes >> 2) & 0x03);
  autoprog_mode_text = mode_text(modes & 0x03);
}

}  // namespace qv82
