#pragma once

#include "AppContext.h"
#include "core/export/AircraftFiles.h"
#include "core/loading/RecentLoadings.h"
#include "core/settings/SettingsFiles.h"

#include "QtLanguage.h"

#include <QObject>
#include <QPointer>

#include <functional>

struct AppContext;
class CopyChooser;
class ExportWindow;
class RestoreWindow;
class TakeOverWindow;
class InfoWindow;
class LoadSheetWindow;
class LoadingModel;
class MainWindow;
class OptionsWindow;
class SplashWindow;
class QWidget;

// Owns the life of the program's windows: the splash, then the main window; the reload of the
// main window after the options are confirmed; at most one options, export and about window,
// each shown modeless; the end of the program, either at once or when the last window has gone.
class Application : public QObject {
    Q_OBJECT
public:
    explicit Application(AppContext& context, QObject* parent = nullptr);
    ~Application() override;

    // Shows the splash window; 250 ms later it gives way to the main window.
    void start();
    // Loads a fresh main window and shows it, or, on the first start, the options window in its
    // place. Qt's own texts follow the language in force first.
    void showMainWindow();
    // Unloads the main window if it is loaded and shows a fresh one.
    void reloadMainWindow();
    void showOptions();
    // Saves what the options window's OK confirmed; the window says what failed.
    void saveOptions(const settings::Choices& choices);
    void showInfo();
    // The load sheet of the main window's loading, which it follows while it is open.
    void showLoadSheet();
    // The check before an export (its questions, each answered Yes), then showExport().
    void checkBeforeExport();
    void showExport();
    // Writes the loading on screen into the copy whose aircraft.cfg is `cfgPath`; the export
    // window says how it went.
    void exportTo(const QString& cfgPath);
    // Each of the three windows that list the copies reads them afresh each time it is asked for
    // (an open window shows the new list). Without any copy it says why and leaves no window open.
    //
    // Offers the copies that have backups to be given back as installed.
    void showRestore();
    // Gives the copy back as installed, after the restore window has asked; it says how it went.
    void restoreCopy(const QString& cfgPath, const QString& title);
    // Offers the copies with the loading each holds.
    void showTakeOver();
    // Takes over the loading of the copy whose aircraft.cfg is `cfgPath` into the main window, or
    // says in the take-over window why it cannot; then nothing changes.
    void takeOver(const QString& cfgPath, const QString& title);
    // File > Open loading...: the file dialog, then openLoadingFile().
    void openLoading();
    // Shows the loading of the file `path` in the main window (from the dialog, the list of those
    // used last, the command line or a drop), or says why it cannot (then the loading on screen
    // stays as it was). Either way the file's folder is the one the file dialogs show next; a
    // loading opened is the first of those used last, and its file the one Save writes.
    void openLoadingFile(const QString& path);
    // File > Save loading: the loading on screen written to the loading file last opened or saved,
    // without a question; without one, saveLoadingAs().
    void saveLoading();
    // File > Save loading as...: the file dialog (offering the name of the loading file last
    // opened or saved), the question before a file is replaced, and the loading on screen written
    // to the file, which Save writes from then on.
    void saveLoadingAs();
    // A loading file to open once a main window is shown (the one named on the command line): on
    // the first start, after the options have been confirmed.
    void openAtStart(const QString& path);
    // The loading file that Save writes to; empty when there is none: nothing opened or saved
    // yet, or the loading taken over from an aircraft.
    const QString& loadingFile() const { return m_loadingFile; }
    // Ends the program at once: every window goes, nothing is asked or saved.
    void quitNow();

    MainWindow* mainWindow() const;
    OptionsWindow* optionsWindow() const;
    InfoWindow* infoWindow() const;
    ExportWindow* exportWindow() const;
    RestoreWindow* restoreWindow() const;
    TakeOverWindow* takeOverWindow() const;
    LoadSheetWindow* loadSheetWindow() const;
    SplashWindow* splashWindow() const;
    const QtLanguage& qtLanguage() const { return m_qtLanguage; }
    // The loading of the main window, or nullptr when no main window is loaded.
    const LoadingModel* loading() const;

    bool hasEnded() const { return m_ended; }

signals:
    // The program has ended (at once, or because its last window has gone).
    void ended();

private:
    void splashFinished();
    // A window has closed: when none is left, the program ends.
    void windowGone();
    void closeExport();
    // The load sheet shows the loading on screen and the file it came from.
    void updateLoadSheet();
    void checkLastWindow();
    // Every window the program may have, each of them or nullptr.
    QList<QWidget*> windows() const;
    // The one window of its kind in `window`: when it is open, `update(window)` brings it up to
    // date and it comes forward; otherwise `make()` makes a new one, which is shown.
    template <typename W, typename Make, typename Update>
    void openOrBringForward(QPointer<W>& window, Make make, Update update);
    // The loadings used last: read afresh from recent.cfg, so that another instance's entries
    // stay; once recent.cfg could not be written, the list kept in memory since.
    recentloadings::Recent recent() const;
    // Keeps the list changed by `change` and shows it in the main window's File menu.
    void keepRecent(const std::function<recentloadings::Recent(const recentloadings::Recent&)>& change);
    void showRecent();
    // Writes the loading on screen to `file`, or says why it cannot. A file chosen in the save
    // dialog (`fromDialog`) is asked about before it is replaced, and its folder is the one the
    // dialogs show next even when the save fails. True when it has been written.
    bool saveTo(const QString& file, bool fromDialog);
    // `file` the loading file that Save writes to (empty: none), shown in the main window.
    void setLoadingFile(const QString& file);
    // Tells what stood in the way of listing the copies `offered` (over the window `open` when it
    // is open, else over the main window). False when there is no copy: then the user has also been
    // told so, in the words of the keys `none` and `title` when nothing stood in the way, and the
    // window `open` has been closed.
    bool offerCopies(const aircraftfiles::OfferedCopies& offered, CopyChooser* open, const QString& none,
                     const QString& title);

    AppContext& m_context;
    QtLanguage m_qtLanguage;
    QPointer<SplashWindow> m_splash;
    QPointer<MainWindow> m_main;
    QPointer<OptionsWindow> m_options;
    QPointer<InfoWindow> m_info;
    QPointer<ExportWindow> m_export;
    QPointer<RestoreWindow> m_restore;
    QPointer<TakeOverWindow> m_takeOver;
    QPointer<LoadSheetWindow> m_loadSheet;
    bool m_ended = false;
    // The note of the loading file last opened, written again when the loading is saved; a new
    // main window and a take-over start without one.
    QString m_loadingNote;
    // The loading file last opened or saved. It goes with the loading it holds: a take-over
    // makes a loading of no file, and a fresh main window (after the options' OK) opens the file
    // again.
    QString m_loadingFile;
    QString m_openAtStart;
    // The loadings used last, kept here once recent.cfg could not be written (a program folder
    // that takes no file): then the list lasts until the program ends.
    recentloadings::Recent m_recent;
    bool m_recentInMemory = false;
};
