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
    // A screen reader names the list by what the label asks.
    QString question = lblTakeOver->text();
    if (question.endsWith(QLatin1Char(':')))
        question.chop(1);
    cmbTakeOver->setAccessibleName(question);
}

void TakeOverWindow::cmdOKClick() {
    const auto copy = chosen();
    if (!copy)
        return;
    emit takeOverRequested(copy->cfgPath, copy->title);
}
