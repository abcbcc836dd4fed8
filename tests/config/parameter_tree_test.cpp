#include "config/parameter_tree.h"

#include "lang/language.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qv82 {
namespace {

using S = CheckState;
using Index = std::vector<std::size_t>;

// Nodes: 0 root, 1 Channels, 2 0x0570 (data), 3 Channel 2, 4 Configuration,
// 5 I/O configuration, 6 0x0770 (data), 7 Modes, 8 0x07B3.
constexpr const char* kDocument = R"(<?xml version="1.0"?>
<MachineData>
<!-- format="QV31/QV82" -->
<Group caption="Channels">
<Data caption="0x0570" address="0x0570" length="32">AA</Data>
<Data caption="Channel 2" address="0x0590" length="32"></Data>
</Group>
<Group caption="Configuration">
<Group caption="I/O configuration">
<Data caption="0x0770" address="0x0770" length="8">0102</Data>
</Group>
</Group>
<Group caption="Modes">
<Data caption="0x07B3" address="0x07B3" length="1"></Data>
</Group>
</MachineData>
)";

// The states of all nodes in order: U unchecked, C checked, - unavailable.
std::string states(const ParameterTree& tree) {
  std::string result;
  for (std::size_t i = 0; i < tree.node_count(); ++i) result += " UC-"[int(tree.state(i))];
  return result;
}

class ParameterTreeTest : public ::testing::Test {
 protected:
  void SetUp() override { tree.load_string(kDocument); }
  ParameterTree tree;
};

TEST_F(ParameterTreeTest, LoadBuildsNodesInDocumentOrderAndMarksData) {
  ASSERT_EQ(tree.node_count(), 9u);
  EXPECT_EQ(tree.caption(0), "All data");
  {
    // The root is the program's own caption: it follows a later change of
    // language, the others are the file's.
    const ScopedLanguage italian(kItalianBase);
    EXPECT_EQ(tree.caption(0), "Tutti i dati");
  }
  EXPECT_EQ(tree.children(0), (Index{1, 4, 7}));
  // Data with parent and grandparent checked, everything else unavailable.
  EXPECT_EQ(states(tree), "CCC-CCC--");
  EXPECT_TRUE(tree.has_choosable_nodes());
}

TEST_F(ParameterTreeTest, ClickRules) {
  tree.click(1);  // checked group: its data unchecked, the item without data stays unavailable
  EXPECT_EQ(states(tree), "CUU-CCC--");
  EXPECT_EQ(tree.selected(), 1u);
  tree.click(1);
  EXPECT_EQ(states(tree), "CCC-CCC--");
  tree.click(7);  // unavailable: nothing happens
  EXPECT_EQ(states(tree), "CCC-CCC--");

  // An unavailable sub-group comes back checked with the data below it.
  tree.set_state(4, S::kUnchecked);
  tree.set_state(5, S::kUnavailable);
  tree.set_state(6, S::kUnchecked);
  tree.click(4);
  EXPECT_EQ(states(tree), "CCC-CCC--");

  // An unchecked item without data is checked along with its group.
  tree.set_state(1, S::kUnchecked);
  tree.set_state(3, S::kUnchecked);
  tree.click(1);
  EXPECT_EQ(states(tree), "CCCCCCC--");

  tree.click(0);  // checked root: everything that can follow is unchecked
  EXPECT_EQ(states(tree), "UUUUUUU--");
}

TEST_F(ParameterTreeTest, OkDropsEverythingNotChecked) {
  tree.click(4);  // uncheck the configuration
  tree.accept();
  EXPECT_EQ(tree.text(2), "AA");
  EXPECT_EQ(tree.text(6), "");
  EXPECT_EQ(states(tree), "CCC------");
  tree.click(6);  // cannot be chosen again until it gets data
  EXPECT_EQ(tree.state(6), S::kUnavailable);
  tree.cancel();
  EXPECT_EQ(tree.text(2), "AA");
}

}  // namespace
}  // namespace qv82
