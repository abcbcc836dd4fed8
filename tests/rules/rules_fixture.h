#pragma once

#include <gtest/gtest.h>

#include <string>

#include "rules/configuration_rules.h"
#include "support/fake_ui.h"
#include "support/temp_dir.h"

namespace qv82::test {

// The rules over copies of the installed io.ini and qv82hs.ini in a fresh
// directory, so that a test may edit them and store configurations.
class RulesTest : public ::testing::Test {
 protected:
  RulesTest();

  void write_file(const std::string& name, const std::string& text) { temp.write(name, text); }
  void start() { rules.activate(dir); }

  // Picks the standard configuration of that name.
  void choose(const std::string& configuration);
  // Sets one record (16 digits) and rebuilds the page from the images.
  void set_record(int position, const std::string& record);
  // The function name the row's list shows.
  std::string function_of(int position) const { return page.rows[position - 1].function.text(); }
  std::string param_digits(std::size_t k) const {
    return images.param_image.substr(2 * (k - 1), 2);
  }

  TempDir temp;
  std::string dir = temp.path();
  WorkingImages images;
  ConfigPageModel page;
  FakeUi ui;
  ConfigurationRules rules{images, page, ui};
};

}  // namespace qv82::test
