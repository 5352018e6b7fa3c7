#include "RestoreWindow.h"

#include "Restore.h"
#include "common/AppContext.h"
#include "common/Dialogs.h"
#include "common/Paths.h"

#include <QDir>

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

void RestoreWindow::cmdOKClick() {
    const auto copy = chosen();
    if (!copy)
        return;
    const QString folder = QDir::toNativeSeparators(GetPathName(copy->cfgPath));
    if (!m_context.dialogs->question(this, m_texts.message(QStringLiteral("strRestoreQuestion"), {copy->title, folder}),
                                     QStringLiteral("?")))
        return;

    restore::Result result;
    if (const auto failure = restore::run(copy->cfgPath, &result)) {
        warn(compose(exportwriter::describe(*failure)));
        return;
    }
    QString done = m_texts.messageText(QStringLiteral("strRestoreDone"));
    if (!result.modelRestored)
        done += QLatin1Char(' ') + m_texts.messageText(QStringLiteral("strRestoreModelKept"));
    m_context.dialogs->information(this, done, m_texts.messageText(QStringLiteral("strFinished")));
    close();
}
