#include "ExportWindow.h"

namespace {

const CopyChooser::Design kDesign{
    "frmExport",      QStringLiteral("Flugzeug wählen"),
    "lblOne",         QStringLiteral("Wählen Sie bitte welches der installierten TQ58 Flugzeug beladen werden soll:"),
    "cmbPA",          "frmExportCaption",
    "frmExportLabel",
};

} // namespace

ExportWindow::ExportWindow(AppContext& context, const QList<aircraftfiles::AircraftCopy>& copies, QWidget* parent)
    : CopyChooser(context, kDesign, parent), lblOne(m_label), cmbPA(m_list) {
    setCopies(copies);
}
