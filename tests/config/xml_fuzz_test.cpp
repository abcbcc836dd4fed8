// Feeds the reader, the tree and the file steps with random and damaged
// documents: whatever comes in, nothing may crash or read out of range (the
// sanitizer build runs this), and the tree must mirror the items.
#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "config/config_file.h"
#include "config/parameter_tree.h"

namespace qv82 {
namespace {

using Lines = std::vector<std::string>;

// Pieces documents are made of, separated by '|'.
constexpr std::string_view kPieces =
    "<|>|/|</Group>|<Group caption=\"G\">|<Data caption=\"|address=\"0x0570\"| length=\"32\">|"
    "</Data>|<!--|-->|<![CDATA[|]]>|<?xml version=\"1.0\"?>|<?xml-stylesheet href=\"|<br/>|&amp;|"
    "&lt;|&gt;|&quot;|\"|=| |  |\r\n|\n|\n\r|\t|AB01|<MachineData>|format=\"QV31/QV82\"|<a/>|< >|"
    "<>|</>|<x y=\"\" z=\"q\"/>|0x0";

class Fuzzer {
 public:
  explicit Fuzzer(unsigned seed) : rng_(seed) {
    std::size_t start = 0;
    for (std::size_t bar; (bar = kPieces.find('|', start)) != std::string_view::npos;)
      pieces_.emplace_back(kPieces.substr(start, bar - start)), start = bar + 1;
    pieces_.emplace_back(kPieces.substr(start));
  }
  std::size_t below(std::size_t n) {
    return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng_);
  }
  // A random byte, a run of letters (now and then longer than a line may
  // be) or one of the pieces.
  std::string piece() {
    const std::size_t kind = below(12);
    if (kind == 0) return std::string(1, static_cast<char>(below(256)));
    if (kind == 1) return std::string(below(20) == 0 ? 4100 + below(2000) : below(40), 'x');
    return pieces_[below(pieces_.size())];
  }
  std::string random_document() {
    std::string doc;
    for (std::size_t n = below(60); n > 0; --n) doc += piece();
    return doc;
  }
  // Pieces inserted, spans erased, bytes changed, spans copied.
  std::string mutated(std::string doc) {
    for (std::size_t n = 1 + below(6); n > 0; --n) {
      const std::size_t at = below(doc.size() + 1);
      const std::size_t how = below(4);
      if (how == 0) doc.insert(at, piece());
      if (how == 1) doc.erase(at, below(200));
      if (how == 2 && at < doc.size()) doc[at] = static_cast<char>(below(256));
      if (how == 3) doc.insert(at, doc.substr(below(doc.size() + 1), below(300)));
    }
    return doc;
  }

 private:
  std::mt19937 rng_;
  std::vector<std::string> pieces_;
};

void check_tree_mirrors_items(const ParameterTree& tree) {
  ASSERT_GE(tree.node_count(), 1u);
  EXPECT_EQ(tree.item(0).parent(), nullptr);
  EXPECT_EQ(tree.subtree_end(0), tree.node_count());
  for (std::size_t i = 1; i < tree.node_count(); ++i) {
    const std::size_t p = tree.parent(i);
    ASSERT_LT(p, i);
    ASSERT_EQ(&tree.item(p), tree.item(i).parent());
    ASSERT_LE(tree.subtree_end(i), tree.subtree_end(p));
    const int state = static_cast<int>(tree.state(i));
    ASSERT_TRUE(state >= 1 && state <= 3);
  }
}

void exercise(ParameterTree& tree, Fuzzer& fuzzer, const std::string& doc, const Lines& templ) {
  try {
    tree.load_string(doc);
  } catch (const XmlError& e) {
    ASSERT_NE(std::string(e.what()).find("Line too long on line"), std::string::npos) << e.what();
  }
  check_tree_mirrors_items(tree);
  for (std::size_t n = fuzzer.below(4); n > 0; --n) tree.click(fuzzer.below(tree.node_count()));
  if (fuzzer.below(2) == 0) tree.accept();
  tree.find_by_address("0x0570");
  tree.find_by_caption("0x0770");

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

TEST(XmlFuzz, RandomAndDamagedDocumentsAreHandled) {
  ParameterTree tree;
  tree.load_file(QV82_SOURCE_DIR "/data/template.xml");  // the template must at least load
  const Lines templ = read_text_lines(QV82_SOURCE_DIR "/data/template.xml");
  std::string base;
  for (const std::string& line : templ) base += line + "\r\n";

  Fuzzer fuzzer(0x5eed);
  for (int round = 0; round < 2200 && !HasFatalFailure(); ++round)
    exercise(tree, fuzzer, round < 2000 ? fuzzer.random_document() : fuzzer.mutated(base), templ);
}

}  // namespace
}  // namespace qv82
