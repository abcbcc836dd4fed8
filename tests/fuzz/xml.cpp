// The XML reader and the parameter tree built from what it read.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "config/parameter_tree.h"
#include "config/xml_reader.h"
#include "fuzz_bench.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  qv82::ParameterTree tree;
  try {
    tree.load_string(text);
  } catch (const qv82::XmlError&) {
    return 0;
  }
  // Every node of the tree must be reachable through the tree's own queries.
  for (std::size_t node = 0; node < tree.node_count(); ++node) {
    (void)tree.attribute(node, "address");
    QV82_FUZZ_CHECK(tree.subtree_end(node) > node && tree.subtree_end(node) <= tree.node_count());
    if (node > 0) QV82_FUZZ_CHECK(tree.parent(node) < node);
  }
  if (tree.node_count() > 1) tree.click(tree.node_count() - 1);
  tree.check_all();
  tree.accept();
  return 0;
}
