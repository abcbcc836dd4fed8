#pragma once

#include <string>
#include <vector>

#include "rules/config_page_model.h"

namespace qv82 {

// The configuration page as lines of text, for the command line: the chosen
// standard configuration (or "Custom"), one line per I/O position with its
// caption and function name (nothing after the caption when no function
// matches), then one line per shown common parameter with its caption, its
// value and its unit.
std::vector<std::string> configuration_summary(const ConfigPageModel& page);

}  // namespace qv82
