#pragma once

#include <QString>

namespace qv82 {

namespace sim {
class Device;
}

class MainWindow;

// For the unattended screenshots over the built-in simulated coin selector: the coin programming
// window with eleven samples, one a wrong coin (FILE-coin-programming), the factory test window
// as it opens and after a passing and after a failing unit (FILE-factory-test, -pass, -fail),
// the coin selector test with a coin listed (FILE-selector-test), and every other window and
// dialog as it opens (FILE-firmware, -erase, -address, -pin, -configuration-name,
// -section-tree, -password). The windows are driven as a user would; the device gets the coins
// and the fault. True when all were saved.
bool save_window_shots(MainWindow& window, sim::Device& device, const QString& file);

}  // namespace qv82
