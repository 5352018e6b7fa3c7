#include "TakeOverWindow.h"

#include <QComboBox>
#include <QLabel>

namespace {

const CopyChooser::Design kDesign{
    "frmTakeOver",      QStringLiteral("Beladung aus Flugzeug übernehmen"),
    "lblTakeOver",      QStringLiteral("Wählen Sie bitte, aus welchem Flugzeug die Beladung übernommen werden soll:"),
    "cmbTakeOver",      "frmTakeOverCaption",
    "frmTakeOverLabel",
};

} // namespace

TakeOverWindow::TakeOverWindow(AppContext& context, const QList<aircraftfiles::AircraftCopy>& copies,
                               const QStringList& loadings, QWidget* parent)
    : CopyChooser(context, kDesign, parent), lblTakeOver(m_label), cmbTakeOver(m_list) {
    setCopies(copies, loadings);
}

void TakeOverWindow::cmdOKClick() {
    const auto copy = chosen();
    if (!copy)
        return;
    emit takeOverRequested(copy->cfgPath, copy->title);
}
