#include "RestoreWindow.h"

namespace {

const CopyChooser::Design kDesign{
    "frmRestore",
    QStringLiteral("Auslieferungszustand wiederherstellen"),
    "lblRestore",
    QStringLiteral("Wählen Sie bitte, welches Flugzeug in den Auslieferungszustand zurückgesetzt werden soll:"),
    "cmbRestore",
    "frmRestoreCaption",
    "frmRestoreLabel",
};

} // namespace

RestoreWindow::RestoreWindow(AppContext& context, const QList<aircraftfiles::AircraftCopy>& copies, QWidget* parent)
    : CopyChooser(context, kDesign, parent), lblRestore(m_label), cmbRestore(m_list) {
    setCopies(copies);
}
