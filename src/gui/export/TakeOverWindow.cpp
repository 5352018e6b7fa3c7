#include "TakeOverWindow.h"

#include <QAbstractItemView>
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
    : CopyChooser(context, kDesign, parent), m_titles(aircraftfiles::displayTitles(copies)), lblTakeOver(m_label),
      cmbTakeOver(m_list) {
    setCopies(copies);
    for (int i = 0; i < cmbTakeOver->count() && i < loadings.size(); ++i)
        cmbTakeOver->setItemText(i, m_titles[i] + QStringLiteral(" \u2014 ") + loadings[i]);
    // A screen reader names the list by what the label asks.
    QString question = lblTakeOver->text();
    if (question.endsWith(QLatin1Char(':')))
        question.chop(1);
    cmbTakeOver->setAccessibleName(question);
    // A title with its loading may be wider than the list: the open list shows it whole.
    cmbTakeOver->view()->setMinimumWidth(cmbTakeOver->view()->sizeHintForColumn(0) + 8);
}

void TakeOverWindow::cmdOKClick() {
    const auto copy = chosen();
    if (!copy)
        return;
    emit takeOverRequested(copy->cfgPath, m_titles.value(cmbTakeOver->currentIndex()));
}
