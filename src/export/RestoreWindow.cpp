#include "RestoreWindow.h"

#include "Restore.h"
#include "common/AppContext.h"
#include "common/Dialogs.h"

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
    // Every check first; the question then says what will happen to each file.
    restore::Plan plan;
    auto failure = restore::plan(copy->cfgPath, &plan);
    if (failure) {
        warn(compose(exportwriter::describe(*failure, exportwriter::Operation::Restore)));
        return;
    }
    if (!m_context.dialogs->question(this, compose(restore::question(plan, copy->title)), QStringLiteral("?")))
        return;

    if ((failure = exportwriter::apply(plan.files))) {
        warn(compose(exportwriter::describe(*failure, exportwriter::Operation::Restore)));
        return;
    }
    QStringList done;
    for (const MessagePart& part : restore::done(plan))
        done.append(m_texts.message(part.key, part.details));
    m_context.dialogs->information(this, done.join(QLatin1Char(' ')),
                                   m_texts.messageText(QStringLiteral("strFinished")));
    close();
}
