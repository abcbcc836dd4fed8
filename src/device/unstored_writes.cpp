#include "device/unstored_writes.h"

#include "device/coin_selector.h"
#include "lang/language.h"

namespace qv82 {

namespace {

constexpr std::uint8_t kResetDevice = 0x01;
constexpr int kResetPolls = 20;

}  // namespace

std::string abandon_unstored_writes(CoinSelector& selector, int written, int chosen) {
  CcTalkLink& link = selector.link;
  selector.forget_unstored_writes();
  Bytes reply;
  // No store command first: the restart reloads the working memory from
  // what is stored.
  const bool restarted = link.cctalk_transaction(link.device_address, Bytes{kResetDevice}, reply,
                                                 kResetPolls) == kTransactionOk &&
                         reply_is_ack(reply);
  return language_text(msg::kItemsWrittenNoneStored,
                       {std::to_string(written), std::to_string(chosen)}) +
         "\n" + language_text(restarted ? msg::kSelectorRestarted : msg::kSelectorDidNotRestart);
}

std::string writes_cut_off_by_port(int written, int chosen) {
  return language_text(msg::kDownloadCutShort, {std::to_string(written), std::to_string(chosen)}) +
         "\n" + language_text(msg::kSwitchOffAndOn);
}

}  // namespace qv82
