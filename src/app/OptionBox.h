#pragma once

namespace velmora {

// One check box of the main window, for setting it by name.
enum class OptionBox {
    AddMissing,
    DeleteMissing,
    ConfirmDeletes,
    CheckSubFolders,
    CheckActions,
    SilentMode,
    ExitOnCompletion,
    OverwriteReadOnly
};

} // namespace velmora
