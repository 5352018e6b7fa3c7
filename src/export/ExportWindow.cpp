#include "ExportWindow.h"

#include "AircraftFiles.h"
#include "ExportWriter.h"
#include "WeightAndBalance.h"
#include "app/Twips.h"
#include "common/AppContext.h"
#include "common/Dialogs.h"
#include "loading/LoadingModel.h"
#include "settings/SettingsFiles.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include <utility>

ExportWindow::ExportWindow(AppContext& context, CurrentLoading currentLoading, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_context(context), m_currentLoading(std::move(currentLoading)), m_texts(context.languageDatabase()) {
    setObjectName(QStringLiteral("frmExport"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Flugzeug wählen"));
    setFont(kit::font(QStringLiteral("Verdana"), 8.25));
    setFixedSize(twips::toPixels(5160), twips::toPixels(1620));
    buildControls();
    kit::centreOnScreen(this);
    load();
}

void ExportWindow::buildControls() {
    lblOne = kit::label(this, "lblOne",
                        QStringLiteral("Wählen Sie bitte welches der installierten TQ58 Flugzeug beladen werden soll:"),
                        {120, 105, 4920, 420});
    lblOne->setWordWrap(true);
    lblOne->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    cmbPA = new QComboBox(this);
    cmbPA->setObjectName(QStringLiteral("cmbPA"));
    cmbPA->setEditable(false);
    cmbPA->setGeometry(twips::rect(120, 585, 4920, 315));

    cmdOK = kit::button(this, "cmdOK", QStringLiteral("O.K."), {2265, 1080, 1335, 375});
    cmdAbbrechen = kit::button(this, "cmdAbbrechen", QStringLiteral("Abbrechen"), {3705, 1080, 1335, 375});
    // A button with the focus takes Enter itself; elsewhere Enter means OK (keyPressEvent).
    cmdOK->setAutoDefault(true);
    cmdAbbrechen->setAutoDefault(true);
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &ExportWindow::cmdOKClick);
    connect(cmdAbbrechen, &QPushButton::clicked, this, &QWidget::close);

    setTabOrder(cmbPA, cmdOK);
    setTabOrder(cmdOK, cmdAbbrechen);
    cmbPA->setFocus(Qt::OtherFocusReason);
}

void ExportWindow::warn(const QString& message) {
    m_context.dialogs->exclamation(this, message, kErrorTitle);
}

void ExportWindow::load() {
    m_texts.apply(QStringLiteral("frmExportCaption"), QString(), [this](const QString& t) { setWindowTitle(t); });
    m_texts.apply(QStringLiteral("frmExportLabel"), QStringLiteral(":"),
                  [this](const QString& t) { lblOne->setText(t); });
    m_texts.apply(QStringLiteral("cmdAbbrechen"), QString(), [this](const QString& t) { cmdAbbrechen->setText(t); });
    m_texts.apply(QStringLiteral("cmdOK"), QString(), [this](const QString& t) { cmdOK->setText(t); });
    fillList();
}

void ExportWindow::fillList() {
    using aircraftfiles::ListingProblem;
    QString reason;
    const auto folder = settings::readFs2000Folder(m_context.programFolder, &reason);
    if (!folder) {
        const QString options = m_context.path(QLatin1String(settings::kOptionsFile));
        if (reason.isEmpty())
            warn(m_texts.message(QStringLiteral("strExportNoOptions"), {options}));
        else
            warn(m_texts.message(QStringLiteral("strExportOptionsUnreadable"), {options, reason}));
        return;
    }
    if (folder->trimmed().isEmpty()) {
        warn(m_texts.message(QStringLiteral("strExportNoFs2000Folder"), {}));
        return;
    }

    const aircraftfiles::AircraftListing listing = aircraftfiles::listAircraftCopies(*folder);
    const QStringList titles = aircraftfiles::displayTitles(listing.copies);
    for (qsizetype i = 0; i < listing.copies.size(); ++i) {
        cmbPA->addItem(titles[i]);
        m_lstData.append(listing.copies[i].cfgPath);
    }
    cmbPA->setCurrentIndex(-1);

    QStringList problems;
    for (const ListingProblem& problem : listing.problems) {
        switch (problem.kind) {
        case ListingProblem::Kind::NoAircraftFolder:
            problems.append(m_texts.message(QStringLiteral("strExportNoAircraftFolder"), {problem.path}));
            break;
        case ListingProblem::Kind::AircraftFolderUnreadable:
            problems.append(
                m_texts.message(QStringLiteral("strExportAircraftFolderUnreadable"), {problem.path, problem.reason}));
            break;
        case ListingProblem::Kind::NoAircraftCfg:
            problems.append(m_texts.message(QStringLiteral("strExportNoAircraftCfg"), {problem.path}));
            break;
        case ListingProblem::Kind::CopyFolderUnreadable:
            problems.append(
                m_texts.message(QStringLiteral("strExportCopyFolderUnreadable"), {problem.path, problem.reason}));
            break;
        case ListingProblem::Kind::CfgUnreadable:
            problems.append(m_texts.message(QStringLiteral("strExportCfgUnreadable"), {problem.path, problem.reason}));
            break;
        }
    }
    if (!problems.isEmpty())
        warn(problems.join(QStringLiteral("\n\n")));
}

void ExportWindow::cmdOKClick() {
    const int index = cmbPA->currentIndex();
    if (cmbPA->currentText().isEmpty() || index < 0 || index >= m_lstData.size())
        return;

    // The loading as it is at this moment: the main window stays usable while this one is open.
    const LoadingModel* loading = m_currentLoading ? m_currentLoading() : nullptr;
    if (!loading) {
        warn(m_texts.message(QStringLiteral("strExportNoLoading"), {}));
        return;
    }
    exportwriter::Job job;
    job.cfgPath = m_lstData[index];
    job.programFolder = m_context.programFolder;
    job.loads = wab::stationLoads(*loading);

    if (const auto failure = exportwriter::write(job)) {
        warn(failureMessage(*failure));
        return;
    }

    QString done = m_texts.messageText(QStringLiteral("strWritten"));
    if (!wab::modelVariant(job.loads))
        done += QLatin1Char(' ') + m_texts.messageText(QStringLiteral("strWrittenModelKept"));
    m_context.dialogs->information(this, done, m_texts.messageText(QStringLiteral("strFinished")));
    close();
}

QString ExportWindow::failureMessage(const exportwriter::Failure& failure) const {
    // What failed, an empty line, then the state of the aircraft.
    const QList<exportwriter::MessagePart> parts = exportwriter::describe(failure);
    QString shown;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i == 1)
            shown += QStringLiteral("\n\n");
        else if (i > 1)
            shown += QLatin1Char(' ');
        shown += m_texts.message(parts[i].key, parts[i].details);
    }
    return shown;
}

void ExportWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        cmdOK->click();
        return;
    case Qt::Key_Escape:
        cmdAbbrechen->click();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}
