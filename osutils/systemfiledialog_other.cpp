#include "systemfiledialog.h"

namespace rigtune {

// No dialog of the system's own to drive here: Qt's serves.
SystemFileDialogAnswer showSystemFileDialog(const SystemFileDialog&) {
    return {};
}

} // namespace rigtune
