#include "ExportWindow.h"

#include "ExportWriter.h"
#include "WeightAndBalance.h"
#include "common/AppContext.h"
#include "common/Dialogs.h"
#include "loading/LoadingModel.h"

#include <utility>

namespace {

const CopyChooser::Design kDesign{
    "frmExport",      QStringLiteral("Flugzeug wählen"),
    "lblOne",         QStringLiteral("Wählen Sie bitte welches der installierten TQ58 Flugzeug beladen werden soll:"),
    "cmbPA",          "frmExportCaption",
    "frmExportLabel",
};

} // namespace

ExportWindow::ExportWindow(AppContext& context, CurrentLoading currentLoading, QWidget* parent)
    : CopyChooser(context, kDesign, parent), m_currentLoading(std::move(currentLoading)), lblOne(m_label),
      cmbPA(m_list) {
    // The lists are built once, when the window opens: a copy installed meanwhile shows the next
    // time.
    const aircraftfiles::OfferedCopies offered = aircraftfiles::offeredCopies(m_context.programFolder);
    setCopies(offered.copies);
    if (!offered.problems.isEmpty())
        warn(m_texts.listed(offered.problems));
}

void ExportWindow::cmdOKClick() {
    const auto copy = chosen();
    if (!copy)
        return;

    // The loading as it is at this moment: the main window stays usable while this one is open.
    const LoadingModel* loading = m_currentLoading ? m_currentLoading() : nullptr;
    if (!loading) {
        warn(m_texts.message(QStringLiteral("strExportNoLoading")));
        return;
    }
    exportwriter::Job job;
    job.cfgPath = copy->cfgPath;
    job.programFolder = m_context.programFolder;
    job.loads = wab::stationLoads(*loading);

    if (const auto failure = exportwriter::write(job)) {
        warn(compose(exportwriter::describe(*failure)));
        return;
    }

    QString done = m_texts.messageText(QStringLiteral("strWritten"));
    if (!wab::modelVariant(job.loads))
        done += QLatin1Char(' ') + m_texts.messageText(QStringLiteral("strWrittenModelKept")) + QLatin1Char(' ') +
                m_texts.messageText(QStringLiteral("strWrittenModelEarlier"));
    m_context.dialogs->information(this, done, m_texts.messageText(QStringLiteral("strFinished")));
    close();
}
