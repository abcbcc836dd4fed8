// Feeds the reader, the tree and the file steps with random and damaged
// documents: whatever comes in, nothing may crash or read out of range (the
// sanitizer build runs this), and the tree must mirror the items.
#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "config/config_file.h"
#include "config/parameter_tree.h"

namespace qv82 {
namespace {

using Lines = std::vector<std::string>;

// Pieces documents are made of.
const char* const kPieces[] = {
    "<", ">", "/", "</Group>", "<Group caption=\"G\">", "<Data caption=\"", "address=\"0x0570\"",
    " length=\"32\">", "</Data>", "<!--", "-->", "<![CDATA[", "]]>", "<?xml version=\"1.0\"?>",
    "<br/>", "&amp;", "&lt;", "\"", "=", " ", "\r\n", "\n", "AB01", "<MachineData>", "<a/>", "<>"};

void check_tree_mirrors_items(const ParameterTree& tree) {
  ASSERT_GE(tree.node_count(), 1u);
  EXPECT_EQ(tree.subtree_end(0), tree.node_count());
  for (std::size_t i = 1; i < tree.node_count(); ++i) {
    const std::size_t p = tree.parent(i);
    ASSERT_LT(p, i);
    ASSERT_EQ(&tree.item(p), tree.item(i).parent());
    ASSERT_LE(tree.subtree_end(i), tree.subtree_end(p));
  }
}

TEST(XmlFuzz, RandomAndDamagedDocumentsAreHandled) {
  const Lines templ = read_text_lines(QV82_SOURCE_DIR "/data/template.xml");
  std::string base;
  for (const std::string& line : templ) base += line + "\r\n";
  std::mt19937 rng(0x5eed);
  const auto below = [&](std::size_t n) {
    return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng);
  };
  // A random byte, a run of letters (now and then longer than a line may be) or a piece.
  const auto piece = [&]() -> std::string {
    const std::size_t kind = below(12);
    if (kind == 0) return std::string(1, static_cast<char>(below(256)));
    if (kind == 1) return std::string(below(20) == 0 ? 4100 + below(2000) : below(40), 'x');
    return kPieces[below(std::size(kPieces))];
  };
  ParameterTree tree;
  for (int round = 0; round < 2200 && !HasFatalFailure(); ++round) {
    std::string doc = round < 2000 ? "" : base;
    for (std::size_t n = below(60); n > 0; --n) doc.insert(below(doc.size() + 1), piece());
    try {
      tree.load_string(doc);
    } catch (const XmlError& e) {
      ASSERT_NE(std::string(e.what()).find("Line too long on line"), std::string::npos) << e.what();
    }
    check_tree_mirrors_items(tree);
    for (std::size_t n = below(4); n > 0; --n) tree.click(below(tree.node_count()));
    if (below(2) == 0) tree.accept();

    Lines lines;
    std::istringstream in(doc);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    merge_lines(templ, lines);
    try {
      std::string text;
      for (const std::string& line : configuration_lines(lines, tree)) text += line + "\r\n";
      tree.load_string(text);
      check_tree_mirrors_items(tree);
    } catch (const ConfigFileError&) {
      // A data line without "</Data>" is refused; that is the expected answer.
    } catch (const XmlError&) {
    }
  }
}

}  // namespace
}  // namespace qv82
