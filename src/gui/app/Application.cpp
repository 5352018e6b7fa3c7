#include "Application.h"

#include "AppContext.h"
#include "Dialogs.h"
#include "MainWindow.h"
#include "MessageFit.h"
#include "SplashWindow.h"
#include "core/export/ExportWriter.h"
#include "core/export/PreExportCheck.h"
#include "core/export/Restore.h"
#include "core/export/TakeOver.h"
#include "core/export/WeightAndBalance.h"
#include "core/loading/LoadingFile.h"
#include "core/settings/Texts.h"
#include "gui/about/InfoWindow.h"
#include "gui/export/ExportWindow.h"
#include "gui/export/RestoreWindow.h"
#include "gui/export/TakeOverWindow.h"
#include "gui/loadsheet/LoadSheetWindow.h"
#include "gui/settings/OptionsWindow.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

Application::Application(AppContext& context, QObject* parent) : QObject(parent), m_context(context) {}

namespace {

// A window that is closing (hidden, its deletion pending) no longer counts as open.
bool isOpen(const QWidget* window) {
    return window && window->isVisible();
}

} // namespace

Application::~Application() {
    for (QWidget* w : windows())
        delete w;
}

QList<QWidget*> Application::windows() const {
    return {m_splash, m_main, m_options, m_info, m_export, m_restore, m_takeOver, m_loadSheet};
}

template <typename W, typename Make, typename Update>
void Application::openOrBringForward(QPointer<W>& window, Make make, Update update) {
    if (isOpen(window)) {
        update(window.data());
        window->show();
        window->raise();
        window->activateWindow();
        return;
    }
    window = make();
    connect(window, &QObject::destroyed, this, &Application::windowGone);
    window->show();
}

void Application::start() {
    m_splash = new SplashWindow(m_context);
    connect(m_splash, &SplashWindow::timeUp, this, &Application::splashFinished);
    m_splash->show();
}

void Application::splashFinished() {
    if (m_splash) {
        m_splash->close();
        m_splash->deleteLater();
    }
    showMainWindow();
}

void Application::showMainWindow() {
    m_qtLanguage.follow(m_context.programFolder, m_context.languageDatabase());
    auto* window = new MainWindow(m_context);
    if (window->load() == MainWindow::LoadResult::FirstStart) {
        // The first start goes through the options window; the main window never appears.
        delete window;
        showOptions();
        return;
    }
    m_main = window;
    connect(window, &MainWindow::quitRequested, this, &Application::quitNow);
    connect(window, &MainWindow::optionsRequested, this, &Application::showOptions);
    connect(window, &MainWindow::infoRequested, this, &Application::showInfo);
    connect(window, &MainWindow::exportRequested, this, &Application::checkBeforeExport);
    connect(window, &MainWindow::restoreRequested, this, &Application::showRestore);
    connect(window, &MainWindow::takeOverRequested, this, &Application::showTakeOver);
    connect(window, &MainWindow::loadSheetRequested, this, &Application::showLoadSheet);
    connect(window, &MainWindow::loadingChanged, this, &Application::updateLoadSheet);
    connect(window, &MainWindow::openLoadingRequested, this, &Application::openLoading);
    connect(window, &MainWindow::saveLoadingRequested, this, &Application::saveLoading);
    connect(window, &MainWindow::saveLoadingAsRequested, this, &Application::saveLoadingAs);
    connect(window, &MainWindow::recentLoadingRequested, this, &Application::openLoadingFile);
    connect(window, &MainWindow::loadingFileDropped, this, &Application::openLoadingFile);
    connect(window, &QObject::destroyed, this, &Application::windowGone);
    // The export writes the loading on screen; once that loading is gone, so is the export window.
    connect(window, &QObject::destroyed, this, &Application::closeExport);
    // So is the load sheet, which shows it.
    connect(window, &QObject::destroyed, this, [this] {
        if (m_loadSheet)
            m_loadSheet->close();
    });
    m_loadingNote.clear();
    m_loadingFile.clear();
    showRecent();
    window->show();
    window->activateWindow();
    window->setStartFocus();
    // Once the window is there: a message about the file then stands over it.
    if (!m_openAtStart.isEmpty()) {
        QTimer::singleShot(0, this, [this, file = std::exchange(m_openAtStart, QString())] { openLoadingFile(file); });
    }
}

void Application::reloadMainWindow() {
    closeExport();
    // The new main window shows the start loading, which belongs to no file: Save then asks for a
    // name, and never writes the start loading over the file of the loading before.
    if (m_main) {
        MainWindow* old = m_main;
        m_main = nullptr;
        old->hide();
        old->deleteLater();
    }
    showMainWindow();
}

void Application::showOptions() {
    openOrBringForward(
        m_options,
        [this] {
            auto* window = new OptionsWindow(m_context);
            connect(window, &OptionsWindow::confirmed, this, &Application::saveOptions);
            connect(window, &OptionsWindow::quitRequested, this, &Application::quitNow);
            return window;
        },
        [](OptionsWindow*) {});
}

void Application::saveOptions(const settings::Choices& choices) {
    if (!m_options)
        return;
    const settings::SaveOutcome saved = settings::saveOptions(m_context.programFolder, choices);
    if (saved.refused) {
        // Nothing has been saved: the window stays with what was entered, so that the user can
        // cancel and start the program again from a folder of their own.
        m_options->refuse(*saved.refused);
        return;
    }
    // Each step that failed is reported; the others were done all the same. Every file is replaced
    // as a whole, so a failed step leaves the old file as it was.
    m_options->report(saved.problems);
    m_options->close();
    // A fresh main window in the language now in force. Should the first start still be pending
    // (strt.cfg could not be written), it gives way to a fresh options window again.
    reloadMainWindow();
}

void Application::showInfo() {
    openOrBringForward(
        m_info, [this] { return new InfoWindow(m_context); }, [](InfoWindow*) {});
}

void Application::showLoadSheet() {
    if (!m_main)
        return;
    openOrBringForward(
        m_loadSheet, [this] { return new LoadSheetWindow(m_context); }, [](LoadSheetWindow*) {});
    updateLoadSheet();
}

void Application::updateLoadSheet() {
    if (m_loadSheet && m_main)
        m_loadSheet->setLoading(m_main->loading(), m_loadingFile);
}

void Application::checkBeforeExport() {
    if (!m_main)
        return;
    const Texts texts(m_context.languageDatabase());
    const auto text = [&texts](const QString& key) { return texts.messageText(key); };
    for (const QString& question : preexport::questions(m_main->loading().total(), text)) {
        if (!m_context.dialogs->question(m_main, question, QStringLiteral("?"), Dialogs::Answer::Yes))
            return;
    }
    showExport();
}

bool Application::offerCopies(const aircraftfiles::OfferedCopies& offered, CopyChooser* open, const QString& none,
                              const QString& title) {
    QWidget* parent = isOpen(open) ? static_cast<QWidget*>(open) : m_main.data();
    const Texts texts(m_context.languageDatabase());
    if (!offered.problems.isEmpty())
        m_context.dialogs->exclamation(parent, messagefit::listed(texts, offered.problems), kErrorTitle);
    if (!offered.copies.isEmpty())
        return true;
    // Never a window with an empty list: the user is told why there is no copy, and a window that
    // is open (with the copies of an earlier listing) goes.
    if (offered.problems.isEmpty())
        m_context.dialogs->information(parent, texts.messageText(none), texts.messageText(title));
    if (open)
        open->close();
    return false;
}

void Application::showExport() {
    // The copies are read afresh each time the window is asked for, so that a copy installed or
    // removed meanwhile, or a folder that is back, shows at once.
    const aircraftfiles::OfferedCopies offered = aircraftfiles::offeredCopies(m_context.programFolder);
    if (!offerCopies(offered, m_export, QStringLiteral("strExportNoCopy"), QStringLiteral("frmExportCaption")))
        return;
    openOrBringForward(
        m_export,
        [&] {
            auto* window = new ExportWindow(m_context, offered.copies);
            connect(window, &ExportWindow::copyChosen, this, &Application::exportTo);
            return window;
        },
        [&](ExportWindow* window) { window->setCopies(offered.copies); });
}

void Application::exportTo(const QString& cfgPath) {
    if (!m_export)
        return;
    // The loading as it is at this moment: the main window stays usable while the export window
    // is open.
    const LoadingModel* current = loading();
    if (!current) {
        m_export->refuse({{QStringLiteral("strExportNoLoading"), {}}});
        return;
    }
    exportwriter::Job job;
    job.cfgPath = cfgPath;
    job.programFolder = m_context.programFolder;
    job.loads = wab::stationLoads(*current);
    const fileplan::Report report = exportwriter::exportLoading(job);
    if (report.done)
        m_export->finish(report.message);
    else
        m_export->refuse(report.message);
}

void Application::showRestore() {
    const aircraftfiles::OfferedCopies offered =
        aircraftfiles::offeredCopies(m_context.programFolder, aircraftfiles::Offer::Restore);
    if (!offerCopies(offered, m_restore, QStringLiteral("strRestoreNothing"), QStringLiteral("frmRestoreCaption")))
        return;
    openOrBringForward(
        m_restore,
        [&] {
            auto* window = new RestoreWindow(m_context, offered.copies);
            connect(window, &RestoreWindow::copyChosen, this, &Application::restoreCopy);
            return window;
        },
        [&](RestoreWindow* window) { window->setCopies(offered.copies); });
}

void Application::restoreCopy(const QString& cfgPath, const QString& title) {
    if (!m_restore)
        return;
    // Yes gives the files back as installed and the loading in them is lost: Return keeps them.
    const fileplan::Report report = restore::restoreAsInstalled(
        cfgPath, m_context.programFolder, title,
        [this](const QList<MessagePart>& question) { return m_restore->ask(question, Dialogs::Answer::No); });
    if (report.done)
        m_restore->finish(report.message);
    else if (!report.message.isEmpty())
        m_restore->refuse(report.message);
}

void Application::showTakeOver() {
    const aircraftfiles::OfferedCopies offered = aircraftfiles::offeredCopies(m_context.programFolder);
    if (!offerCopies(offered, m_takeOver, QStringLiteral("strTakeOverNoCopy"), QStringLiteral("frmTakeOverCaption")))
        return;
    QStringList cfgPaths;
    for (const aircraftfiles::AircraftCopy& copy : offered.copies)
        cfgPaths << copy.cfgPath;
    const Texts texts(m_context.languageDatabase());
    const QStringList loadings = takeover::summaries(cfgPaths, texts.messageText(QStringLiteral("strTakeOverNone")));
    openOrBringForward(
        m_takeOver,
        [&] {
            auto* window = new TakeOverWindow(m_context, offered.copies, loadings);
            connect(window, &TakeOverWindow::takeOverRequested, this, &Application::takeOver);
            return window;
        },
        [&](TakeOverWindow* window) { window->setCopies(offered.copies, loadings); });
}

void Application::takeOver(const QString& cfgPath, const QString& title) {
    if (!m_takeOver)
        return;
    if (!m_main) {
        m_takeOver->refuse({{QStringLiteral("strExportNoLoading"), {}}});
        return;
    }
    // Read when asked: the file may have changed since the list was made.
    const takeover::Result result = takeover::takeOver(cfgPath, title);
    if (!result.loading) {
        m_takeOver->refuse(result.message);
        return;
    }
    m_main->takeOverLoading(*result.loading);
    // A loading of the aircraft's, of no file: Save asks for a name rather than write it, without
    // the note, over the file last opened.
    m_loadingNote.clear();
    setLoadingFile(QString());
    // Loads another tool wrote may come back as kilograms that the next export writes as other
    // pounds: the user is told which.
    if (result.message.isEmpty())
        m_takeOver->close();
    else
        m_takeOver->finishItemised(result.message);
}

void Application::openAtStart(const QString& path) {
    m_openAtStart = path;
}

namespace {

// The folder a file dialog shows, for as long as the dialog and what comes of it last: a folder
// made for it that no loading was saved into goes again.
class ShownFolder {
public:
    explicit ShownFolder(recentloadings::DialogFolder folder) : m_folder(std::move(folder)) {}
    ~ShownFolder() { recentloadings::leave(m_folder); }
    ShownFolder(const ShownFolder&) = delete;
    ShownFolder& operator=(const ShownFolder&) = delete;
    const QString& path() const { return m_folder.path; }

private:
    recentloadings::DialogFolder m_folder;
};

} // namespace

void Application::openLoading() {
    if (!m_main)
        return;
    const Texts texts(m_context.languageDatabase());
    std::optional<QString> file;
    {
        const ShownFolder folder(recentloadings::dialogFolder(m_context.programFolder, recent()));
        file = m_context.dialogs->openFile(
            m_main,
            loadingfile::openFilter(texts.messageText(QStringLiteral("strLoadingFileType")),
                                    texts.messageText(QStringLiteral("strLoadingFileAllFiles"))),
            folder.path());
    }
    if (file)
        openLoadingFile(*file);
}

void Application::openLoadingFile(const QString& path) {
    if (!m_main)
        return;
    const loadingfile::Opened opened = loadingfile::open(path);
    if (!opened.contents) {
        // A loading that is no longer there leaves the list of those used last. The loading on
        // screen stays, and with it the file Save writes.
        keepRecent([&](const recentloadings::Recent& recent) {
            const recentloadings::Recent chosen = recentloadings::chosen(recent, path);
            return opened.missing ? recentloadings::forgotten(chosen, path) : chosen;
        });
        const Texts texts(m_context.languageDatabase());
        m_context.dialogs->exclamation(m_main, texts.compose(opened.message), kErrorTitle);
        return;
    }
    m_main->takeOverLoading(opened.contents->loading);
    m_loadingNote = opened.contents->note;
    setLoadingFile(path);
    keepRecent([&path](const recentloadings::Recent& recent) { return recentloadings::used(recent, path); });
}

void Application::saveLoading() {
    if (!m_main)
        return;
    if (m_loadingFile.isEmpty())
        saveLoadingAs();
    else
        saveTo(m_loadingFile, false);
}

void Application::saveLoadingAs() {
    if (!m_main)
        return;
    const Texts texts(m_context.languageDatabase());
    // As in every editor, the dialog shows the file last opened or saved, in its own folder.
    const recentloadings::Recent last =
        m_loadingFile.isEmpty() ? recent() : recentloadings::chosen(recent(), m_loadingFile);
    const ShownFolder folder(recentloadings::dialogFolder(m_context.programFolder, last));
    const auto chosen = m_context.dialogs->saveFile(
        m_main, loadingfile::filter(texts.messageText(QStringLiteral("strLoadingFileType"))), folder.path(),
        QFileInfo(m_loadingFile).fileName());
    // The main window is gone after a dialog only when the program is ending.
    if (chosen && m_main)
        saveTo(loadingfile::withExtension(*chosen), true);
}

bool Application::saveTo(const QString& file, bool fromDialog) {
    const Texts texts(m_context.languageDatabase());
    const loadingfile::Target target =
        loadingfile::target(file, {m_main->loading(), m_loadingNote}, m_context.programFolder);
    std::optional<QList<MessagePart>> failure;
    if (!target.refusal.isEmpty())
        failure = target.refusal;
    else if (fromDialog && target.exists &&
             !m_context.dialogs->question(
                 m_main, texts.message(QStringLiteral("strLoadingFileReplace"), {QDir::toNativeSeparators(file)}),
                 texts.messageText(QStringLiteral("mnuDateiBeladungSpeichern")), Dialogs::Answer::No))
        return false;
    if (!m_main)
        return false;
    if (!failure)
        failure = loadingfile::save(file, {m_main->loading(), m_loadingNote}, m_context.programFolder);
    if (failure) {
        // The folder chosen is the one the dialogs show next; the file last opened or saved stays
        // the one Save writes.
        if (fromDialog)
            keepRecent([&file](const recentloadings::Recent& recent) { return recentloadings::chosen(recent, file); });
        m_context.dialogs->exclamation(m_main, texts.compose(*failure), kErrorTitle);
        return false;
    }
    setLoadingFile(file);
    keepRecent([&file](const recentloadings::Recent& recent) { return recentloadings::used(recent, file); });
    return true;
}

void Application::setLoadingFile(const QString& file) {
    m_loadingFile = file.isEmpty() ? QString() : QDir::cleanPath(file);
    if (m_main)
        m_main->showLoadingFile(m_loadingFile);
    updateLoadSheet();
}

recentloadings::Recent Application::recent() const {
    return m_recentInMemory ? m_recent : recentloadings::read(m_context.programFolder);
}

void Application::keepRecent(const std::function<recentloadings::Recent(const recentloadings::Recent&)>& change) {
    const recentloadings::Recent before = recent();
    const recentloadings::Recent after = change(before);
    // The list is a convenience. Where recent.cfg cannot be written (a program folder that takes
    // no file), the list lasts until the program ends, and nothing is said: the loading itself has
    // been opened or saved, and the list works as before. A later write that succeeds puts the
    // list back into its file.
    if (after != before) {
        QString reason;
        m_recentInMemory = !recentloadings::write(m_context.programFolder, after, &reason);
        m_recent = after;
    }
    if (m_main)
        m_main->showRecentLoadings(recentloadings::names(after.files), after.files);
}

void Application::showRecent() {
    if (!m_main)
        return;
    const QStringList files = recent().files;
    m_main->showRecentLoadings(recentloadings::names(files), files);
}

TakeOverWindow* Application::takeOverWindow() const {
    return m_takeOver;
}

LoadSheetWindow* Application::loadSheetWindow() const {
    return m_loadSheet;
}

RestoreWindow* Application::restoreWindow() const {
    return m_restore;
}

MainWindow* Application::mainWindow() const {
    return m_main;
}
OptionsWindow* Application::optionsWindow() const {
    return m_options;
}
InfoWindow* Application::infoWindow() const {
    return m_info;
}
ExportWindow* Application::exportWindow() const {
    return m_export;
}
SplashWindow* Application::splashWindow() const {
    return m_splash;
}

const LoadingModel* Application::loading() const {
    return m_main ? &m_main->loading() : nullptr;
}

void Application::quitNow() {
    if (m_ended)
        return;
    m_ended = true;
    for (QWidget* w : windows()) {
        if (w) {
            w->hide();
            w->deleteLater();
        }
    }
    emit ended();
}

void Application::closeExport() {
    if (m_export)
        m_export->close();
}

void Application::windowGone() {
    // Checked once the current event is done, so that a window replaced within one handler (the
    // reload of the main window) does not count as the last one gone.
    QTimer::singleShot(0, this, &Application::checkLastWindow);
}

void Application::checkLastWindow() {
    if (m_ended)
        return;
    for (const QWidget* w : windows()) {
        if (isOpen(w))
            return;
    }
    m_ended = true;
    emit ended();
}
