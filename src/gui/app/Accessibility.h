#pragma once

#include <QString>

class QComboBox;
class QWidget;

// What assistive tools (a screen reader) meet of the program's windows beyond what Qt tells them:
// a window told as a dialog, a shown-only text left out, and the names of controls that a caption
// beside them gives.
namespace accessibility {

// Leaves a widget that only shows what another control tells out of what assistive tools meet of
// its parent (when the parent is a plain QWidget or a class of ours made from it), so that a screen
// reader does not read the same text twice. The widget still shows and takes clicks.
void hideFromAssistiveTools(QWidget* shown);

// Tells assistive tools that `window` (a window of a class of ours made directly from QWidget) is
// a dialog, named by its title, as a screen reader expects of the program's small windows.
void tellAsDialog(QWidget* window);

// The accessible name a caption gives the control beside it: without a trailing ":" or "...".
QString captionName(const QString& caption);

// Names a drop-down list for assistive tools, and the list it opens with it.
void nameList(QComboBox* list, const QString& name);

} // namespace accessibility
