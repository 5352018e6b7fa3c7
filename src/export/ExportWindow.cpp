#include "ExportWindow.h"

#include "AircraftFiles.h"
#include "ExportWriter.h"
#include "WeightAndBalance.h"
#include "app/AppContext.h"
#include "app/Application.h"
#include "app/Dialogs.h"
#include "app/Twips.h"
#include "loading/LoadingModel.h"
#include "settings/LanguageStore.h"
#include "settings/SettingsFiles.h"

#include <QComboBox>
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include <functional>

namespace {

const QString kErrorTitle = QStringLiteral("Error!");

QFont verdana(double points) {
    QFont font(QStringLiteral("Verdana"));
    font.setPointSizeF(points);
    return font;
}

} // namespace

ExportWindow::ExportWindow(AppContext& context, Application& app, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_context(context), m_app(app) {
    setObjectName(QStringLiteral("frmExport"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Flugzeug wählen"));
    setFont(verdana(8.25));
    setFixedSize(twips::toPixels(5160), twips::toPixels(1620));
    buildControls();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    load();
}

void ExportWindow::buildControls() {
    lblOne = new QLabel(QStringLiteral("Wählen Sie bitte welches der installierten TQ58 Flugzeug beladen werden soll:"),
                        this);
    lblOne->setObjectName(QStringLiteral("lblOne"));
    lblOne->setGeometry(twips::rect(120, 105, 4920, 420));
    lblOne->setWordWrap(true);
    lblOne->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    cmbPA = new QComboBox(this);
    cmbPA->setObjectName(QStringLiteral("cmbPA"));
    cmbPA->setEditable(false);
    cmbPA->setGeometry(twips::rect(120, 585, 4920, 315));

    auto button = [this](const char* name, const QString& caption, QRect geometry) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(geometry);
        // A button with the focus takes Enter itself; elsewhere Enter means OK (keyPressEvent).
        b->setAutoDefault(true);
        return b;
    };
    cmdOK = button("cmdOK", QStringLiteral("O.K."), twips::rect(2265, 1080, 1335, 375));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &ExportWindow::cmdOKClick);
    cmdAbbrechen = button("cmdAbbrechen", QStringLiteral("Abbrechen"), twips::rect(3705, 1080, 1335, 375));
    connect(cmdAbbrechen, &QPushButton::clicked, this, &QWidget::close);

    setTabOrder(cmbPA, cmdOK);
    setTabOrder(cmdOK, cmdAbbrechen);
    cmbPA->setFocus(Qt::OtherFocusReason);
}

QString ExportWindow::text(const QString& key) const {
    return tryLanguageText(m_context.languageDatabase(), key).value_or(QString());
}

QString ExportWindow::message(const QString& key, const QStringList& details) const {
    QString result = text(key);
    if (result.isEmpty())
        return key + QStringLiteral(": ") + details.join(QStringLiteral(", "));
    // All placeholders in one pass, so that a "%1" inside a file name stays as it is.
    switch (details.size()) {
    case 0:
        return result;
    case 1:
        return result.arg(details[0]);
    case 2:
        return result.arg(details[0], details[1]);
    default:
        return result.arg(details[0], details[1], details[2]);
    }
}

void ExportWindow::warn(const QString& message) {
    m_context.dialogs->exclamation(this, message, kErrorTitle);
}

void ExportWindow::load() {
    // A database that cannot answer leaves the design captions in place.
    auto caption = [this](const char* key, const QString& suffix, const std::function<void(const QString&)>& apply) {
        if (const auto found = tryLanguageText(m_context.languageDatabase(), QString::fromLatin1(key)))
            apply(*found + suffix);
    };
    caption("frmExportCaption", QString(), [this](const QString& t) { setWindowTitle(t); });
    caption("frmExportLabel", QStringLiteral(":"), [this](const QString& t) { lblOne->setText(t); });
    caption("cmdAbbrechen", QString(), [this](const QString& t) { cmdAbbrechen->setText(t); });
    caption("cmdOK", QString(), [this](const QString& t) { cmdOK->setText(t); });
    fillList();
}

void ExportWindow::fillList() {
    using aircraftfiles::ListingProblem;
    QString reason;
    const auto folder = settings::readFs2000Folder(m_context.programFolder, &reason);
    if (!folder) {
        const QString options = m_context.path(QLatin1String(settings::kOptionsFile));
        if (reason.isEmpty())
            warn(message(QStringLiteral("strExportNoOptions"), {QDir::toNativeSeparators(options)}));
        else
            warn(message(QStringLiteral("strExportOptionsUnreadable"), {QDir::toNativeSeparators(options), reason}));
        return;
    }
    if (folder->trimmed().isEmpty()) {
        warn(message(QStringLiteral("strExportNoFs2000Folder"), {}));
        return;
    }

    const aircraftfiles::AircraftListing listing = aircraftfiles::listAircraftCopies(*folder);
    for (const aircraftfiles::AircraftCopy& copy : listing.copies) {
        cmbPA->addItem(copy.title);
        m_lstData.append(copy.cfgPath);
    }
    cmbPA->setCurrentIndex(-1);

    QStringList problems;
    for (const ListingProblem& problem : listing.problems) {
        switch (problem.kind) {
        case ListingProblem::Kind::NoAircraftFolder:
            problems.append(
                message(QStringLiteral("strExportNoAircraftFolder"), {QDir::toNativeSeparators(problem.path)}));
            break;
        case ListingProblem::Kind::NoAircraftCfg:
            problems.append(
                message(QStringLiteral("strExportNoAircraftCfg"), {QDir::toNativeSeparators(problem.path)}));
            break;
        case ListingProblem::Kind::CfgUnreadable:
            problems.append(message(QStringLiteral("strExportCfgUnreadable"),
                                    {QDir::toNativeSeparators(problem.path), problem.reason}));
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
    const LoadingModel* loading = m_app.loading();
    if (!loading) {
        warn(message(QStringLiteral("strExportNoLoading"), {}));
        return;
    }
    exportwriter::Job job;
    job.cfgPath = m_lstData[index];
    job.programFolder = m_context.programFolder;
    job.coPilot = loading->blnCo();
    job.paxLeft = loading->blnPaxLeft();
    job.paxRight = loading->blnPaxRight();
    job.loads = wab::stationLoads(*loading);

    if (const auto failure = exportwriter::write(job)) {
        QStringList details{QDir::toNativeSeparators(failure->path)};
        if (exportwriter::hasReason(failure->kind))
            details.append(failure->reason);
        QString shown = message(exportwriter::messageKey(failure->kind), details) + QStringLiteral("\n\n");
        if (failure->unrestoredModel.isEmpty())
            shown += message(QStringLiteral("strExportNothingChanged"), {});
        else if (failure->modelBackup.isEmpty())
            shown += message(QStringLiteral("strExportModelNotRemoved"),
                             {QDir::toNativeSeparators(failure->unrestoredModel), failure->restoreReason});
        else
            shown += message(QStringLiteral("strExportModelNotRestored"),
                             {QDir::toNativeSeparators(failure->unrestoredModel), failure->restoreReason,
                              QDir::toNativeSeparators(failure->modelBackup)});
        warn(shown);
        return;
    }

    m_context.dialogs->information(this, text(QStringLiteral("strWritten")), text(QStringLiteral("strFinished")));
    close();
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
