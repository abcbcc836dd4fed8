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

const char* const kPieces[] = {
    "<",
    ">",
    "/",
    "</Group>",
    "<Group caption=\"G\">",
    "<Data caption=\"",
    "address=\"0x0570\"",
    " length=\"32\">",
    "</Data>",
    "<!--",
    "-->",
    "<![CDATA[",
    "]]>",
    "<?xml version=\"1.0\"?>",
    "<?xml-stylesheet href=\"",
    "<br/>",
    "&amp;",
    "&lt;",
    "&gt;",
    "&quot;",
    "\"",
    "=",
    " ",
    "  ",
    "\r\n",
    "\n",
    "\n\r",
    "\t",
    "AB01",
    "<MachineData>",
    "format=\"QV31/QV82\"",
    "<a/>",
    "< >",
    "<>",
    "</>",
    "<x y=\"\" z=\"q\"/>",
    "0x0",
};

class Fuzzer {
 public:
  explicit Fuzzer(unsigned seed) : rng_(seed) {}

  std::size_t below(std::size_t n) {
    return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng_);
  }

  std::string piece() {
    switch (below(12)) {
      case 0:
        return std::string(1, static_cast<char>(below(256)));
      case 1:
        return std::string(below(20) == 0 ? 4100 + below(2000) : below(40), 'x');
      default:
        return kPieces[below(std::size(kPieces))];
    }
  }

  std::string random_document() {
    std::string doc;
    for (std::size_t n = below(60); n > 0; --n) doc += piece();
    return doc;
  }

  std::string mutated(std::string doc) {
    for (std::size_t n = 1 + below(6); n > 0; --n) {
      const std::size_t at = below(doc.size() + 1);
      switch (below(4)) {
        case 0:
          doc.insert(at, piece());
          break;
        case 1:
          doc.erase(at, below(200));
          break;
        case 2:
          if (at < doc.size()) doc[at] = static_cast<char>(below(256));
          break;
        default:
          doc.insert(at, doc.substr(below(doc.size() + 1), below(300)));
      }
    }
    return doc;
  }

 private:
  std::mt19937 rng_;
};

Lines split_lines(const std::string& text) {
  Lines lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

void check_tree_mirrors_items(const ParameterTree& tree) {
  ASSERT_GE(tree.node_count(), 1u);
  EXPECT_EQ(tree.item(0).Parent(), nullptr);
  EXPECT_EQ(tree.subtree_end(0), tree.node_count());
  for (std::size_t i = 1; i < tree.node_count(); ++i) {
    const std::size_t p = tree.parent(i);
    ASSERT_LT(p, i);
    ASSERT_EQ(&tree.item(p), tree.item(i).Parent());
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

  const Lines lines = split_lines(doc);
  merge_lines(templ, lines);
  try {
    const Lines saved = configuration_lines(lines, tree);
    std::string text;
    for (const std::string& line : saved) text += line + "\r\n";
    tree.load_string(text);
    check_tree_mirrors_items(tree);
  } catch (const ConfigFileError&) {
    // A data line without "</Data>" is refused; that is the expected answer.
  } catch (const XmlError&) {
  }
}

TEST(XmlFuzz, RandomAndDamagedDocumentsAreHandled) {
  {
    ParameterTree probe;  // the template must at least load
    probe.load_file(QV82_SOURCE_DIR "/data/template.xml");
  }
  const Lines templ = read_text_lines(QV82_SOURCE_DIR "/data/template.xml");
  std::string base;
  for (const std::string& line : templ) base += line + "\r\n";

  Fuzzer fuzzer(0x5eed);
  ParameterTree tree;
  for (int round = 0; round < 2000; ++round) {
    exercise(tree, fuzzer, fuzzer.random_document(), templ);
    if (HasFatalFailure()) return;
  }
  for (int round = 0; round < 200; ++round) {
    exercise(tree, fuzzer, fuzzer.mutated(base), templ);
    if (HasFatalFailure()) return;
  }
}

}  // namespace
}  // namespace qv82
