#include "rules/rules_fixture.h"

#include <algorithm>

#include "support/test_files.h"

namespace qv82::test {

RulesTest::RulesTest() { copy_data_files(dir, {"io.ini", "qv82hs.ini"}); }

void RulesTest::choose(const std::string& configuration) {
  const auto& items = page.versions.items;
  const auto it = std::find(items.begin(), items.end(), configuration);
  ASSERT_NE(it, items.end()) << configuration;
  rules.choose_standard_configuration(static_cast<int>(it - items.begin()));
}

void RulesTest::set_record(int position, const std::string& record) {
  images.io_text[position - 1] = record;
  rules.match_io_functions();
  rules.refresh_configuration_view();
}

}  // namespace qv82::test
