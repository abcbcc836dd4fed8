#pragma once

#include <string>

#include "channels/channels_page.h"
#include "config/config_files.h"
#include "config/config_image.h"
#include "config/parameter_tree.h"
#include "config/transfer.h"
#include "config/working_images.h"
#include "rules/config_page_model.h"
#include "rules/configuration_rules.h"
#include "stats/statistics.h"

namespace qv82 {

class CoinSelector;
class IniFile;
class CcTalkLink;
class Ui;
struct DeviceState;

// The configuration image and the pages over it, as the main window holds
// them: the working images, the parameter tree, the channels, configuration
// and statistics page models, and the operations that move the
// configuration between them, files and the device. The conversions are
// bound to the configuration rules and the statistics page here.
class ConfigurationWorkspace {
 public:
  ConfigurationWorkspace(CcTalkLink& link, CoinSelector& selector, DeviceState& device,
                         IniFile& settings, Ui& ui, const std::string& workdir);
  ConfigurationWorkspace(const ConfigurationWorkspace&) = delete;
  ConfigurationWorkspace& operator=(const ConfigurationWorkspace&) = delete;

  WorkingImages images;
  ParameterTree tree;
  ChannelsPage channels;
  ConfigPageModel config_page;
  ConfigurationRules rules;
  StatisticsPage statistics;
  ConfigImage image;
  ConfigFiles files;
  ConfigTransfer transfer;

  // What start-up does for these pages, for front ends without the windows'
  // start-up (the command line): the page lists from qv82hs.ini and io.ini,
  // the template in the tree, channel 1 shown, and nothing loaded yet.
  // Throws ConversionError for a bad setting, XmlError for the template.
  void prepare(const std::string& workdir);
};

}  // namespace qv82
