#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace velmora {
class AppController;
}
namespace velmora::browse {
class BrowseEnvironment;
}

namespace velmora::desktop {

// The main window's ways into its dialogs, one function each, so that a dialog of its own can
// take the place of the plain one without touching the window. Each answers whether the user
// confirmed with OK, and has handed the result to the controller when he did.

// A folder for a location box, starting at `start`; nothing when cancelled.
std::optional<QString> chooseFolder(QWidget* parent, browse::BrowseEnvironment& environment,
                                    const QString& title, const QString& start);
bool editMoreOptions(QWidget* parent, AppController& controller);
bool editExclusions(QWidget* parent, AppController& controller, browse::BrowseEnvironment& environment);
bool editConfiguration(QWidget* parent, AppController& controller);
// The batch list; true when Save As must follow (its entries became the batch, nothing was open
// and the batch lists a profile).
bool editBatchList(QWidget* parent, AppController& controller);
void showAbout(QWidget* parent);
// The user guide in the desktop's browser.
void showHelp(QWidget* parent);

} // namespace velmora::desktop
