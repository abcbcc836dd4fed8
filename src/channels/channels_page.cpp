#include "channels/channels_page.h"

#include <stdexcept>
#include <string_view>

#include "channels/channel_lists.h"
#include "channels/country_list.h"

namespace qv82 {

namespace {

std::size_t channel_index(int n) {
  if (n < 1 || n > kChannelCount) {
    throw std::out_of_range("channel number " + std::to_string(n) + " outside 1 ... 16");
  }
  return static_cast<std::size_t>(n - 1);
}

std::string padded(std::string_view text, std::size_t width) {
  std::string out(text);
  if (out.size() < width) out.insert(0, width - out.size(), ' ');
  return out;
}

std::string number_row(std::string_view caption, const std::array<int, kChannelParameterCount>& v) {
  std::string row = std::string(caption);
  row.resize(12, ' ');
  for (int x : v) row += padded(std::to_string(x), 5);
  return row + "\n";
}

std::string yes_no(bool b) { return b ? "yes" : "no"; }

std::string item_or_dash(std::string_view item) {
  return item.empty() ? std::string("-") : std::string(item);
}

}  // namespace

ChannelsPage::ChannelsPage(ChannelBuffer& buffer) : channel_buffer(buffer) {
  for (Bytes& record : channel_buffer) record = erased_channel_record();
  show_channel(1);
}

void ChannelsPage::show_channel(int n) {
  const std::size_t i = channel_index(n);
  const DecodedChannel decoded = StrToChannel(channel_buffer[i]);
  view = decoded.view;
  status_high_bits[i] = decoded.status_high_bits;
}

void ChannelsPage::take_channel(int n) {
  const std::size_t i = channel_index(n);
  channel_buffer[i] = ChannelToStr(view, status_high_bits[i]);
}

std::uint8_t ChannelsPage::change_channel(int m) {
  channel_index(m);
  if (channel_modified) take_channel(shown_channel);
  show_channel(m);
  shown_channel = m;
  channel_number = m;
  return kChannelsSectionBit;
}

std::string channel_text(const ChannelView& view, int channel) {
  std::string text = "Channel " + std::to_string(channel) + "\n";
  std::string header(12, ' ');
  for (int k = 1; k <= kChannelParameterCount; ++k) header += padded(std::to_string(k) + ".", 5);
  text += header + "\n";
  text += number_row("Parameter", view.parameters);
  text += number_row("Tollerance", view.tolerances);
  text += "ccTalk: " + yes_no(view.cctalk) + "  Sel.: " + yes_no(view.selective) +
          "  Fake: " + yes_no(view.fake) + "  En.: " + yes_no(view.enabled) + "\n";
  text += "Dir.: " + item_or_dash(list_item(direction_list(), view.direction)) + "\n";
  text += "CVF: " + item_or_dash(list_item(cvf_list(CvfListKind::kChannelsPage), view.cvf)) + "\n";
  text += "Mint: " + item_or_dash(list_item(mint_list(), view.mint)) + "\n";
  const std::string_view country =
      (view.country >= 0 && view.country < kCountryCount) ? country_list()[view.country] : "";
  text += "CC: " + item_or_dash(country) + "\n";
  text += "Val.: " + std::to_string(view.value) + "\n";
  return text;
}

}  // namespace qv82
