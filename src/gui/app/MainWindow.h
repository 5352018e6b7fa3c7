#pragma once

#include "core/loading/LoadingModel.h"
#include "core/settings/Texts.h"

#include <QMainWindow>

#include <array>

struct AppContext;
class ClickableLabel;
class PressableLabel;
class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSlider;

// The program's working window: the aircraft from above with its four seats, the baggage slider,
// the person-weight sum, the total, and the commands.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    enum class LoadResult { Show, FirstStart };

    explicit MainWindow(AppContext& context, QWidget* parent = nullptr);

    // The load sequence: pictures, language texts, the start state of the loading, the total and
    // the first-start check. Each step that fails is skipped and the next one runs.
    LoadResult load();
    void setStartFocus();

    // Recomputes the total and writes it into lblGesamt.
    void CalcGesamt();

    const LoadingModel& loading() const { return m_loading; }

    // Handlers of the window's commands (also what the tests drive).
    void seatClicked(Seat seat);
    void cmdZufaelligClick();
    void cmdSpeichernClick();
    // Shows `loading` as if the user had entered it: seats, weight records, sum, slider, total.
    void takeOverLoading(const LoadingModel& loading);
    // The loadings used last in the File menu, most recent first, numbered &1 to &4: `names` as
    // shown, `files` what each opens.
    void showRecentLoadings(const QStringList& names, const QStringList& files);
    // The loading file that File > Save loading writes to, told as the tooltip of that command;
    // none when empty (then the command asks for a name).
    void showLoadingFile(const QString& file);

signals:
    // Asked for by the commands; the application decides.
    void quitRequested();
    void optionsRequested();
    void infoRequested();
    // The pre-export check has passed.
    void exportRequested();
    void restoreRequested();
    void takeOverRequested();
    void loadSheetRequested();
    void openLoadingRequested();
    void saveLoadingRequested();
    void saveLoadingAsRequested();
    // One of the loadings used last has been chosen in the File menu.
    void recentLoadingRequested(const QString& file);
    // One file has been dropped on the window (sent once the drop is over).
    void loadingFileDropped(const QString& file);
    // The loading has changed (each time the total is written).
    void loadingChanged();

protected:
    // F10 opens the menu bar, as on the desktops where that is the way to it.
    void keyPressEvent(QKeyEvent* event) override;
    // A file dropped on the window is opened as a loading; it is only ever taken as a copy.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    ClickableLabel* seatImage(Seat seat) const { return m_seats[static_cast<std::size_t>(seat)]; }
    // Shows one seat as the loading has it: picture and weight record.
    void renderSeat(Seat seat);
    void renderPersonSum();
    // Accessible names of the seats and of the figures with a caption beside them.
    void nameForScreenReaders();
    // A seat's accessible description: its state, as its weight record says it.
    void describeSeat(Seat seat);
    void onSliderChanged(int value);

    AppContext& m_context;
    Texts m_texts;
    LoadingModel m_loading;
    // The weight record a free seat shows (the free-seat text looked up when it was freed).
    std::array<QString, 4> m_freeRecord;

    QWidget* m_client = nullptr;
    QLabel* Picture1 = nullptr;
    std::array<ClickableLabel*, 4> m_seats{};
    QLabel* imgReset = nullptr;
    QLabel* lblPlatzFrei = nullptr;
    QLabel* imgSet = nullptr;
    QLabel* lblPlatzbesetzt = nullptr;
    QPushButton* cmdZufaellig = nullptr;
    QLabel* lblGepaeck = nullptr;
    QLineEdit* txtBaggage = nullptr;
    QLabel* Label1 = nullptr;
    QSlider* Slider1 = nullptr;
    QLabel* lblPersonengewicht = nullptr;
    QLineEdit* txtPersonengewicht = nullptr;
    QLabel* Label2 = nullptr;
    QFrame* Line1 = nullptr;
    QLabel* lblZFW = nullptr;
    QLabel* lblZero = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* lblGesamt = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Label6 = nullptr;
    PressableLabel* Label4 = nullptr;
    QPushButton* cmdSpeichern = nullptr;
    QPushButton* cmdSchliessen = nullptr;

    QMenu* mnuDatei = nullptr;
    QAction* mnuDateiBeladungOeffnen = nullptr;
    QAction* mnuDateiSpeichern = nullptr;
    QAction* mnuDateiBeladungSpeichern = nullptr; // Save as
    QList<QAction*> m_recentLoadings;
    QAction* m_recentLoadingsEnd = nullptr; // the separator after them
    QAction* mnuDateiBeenden = nullptr;
    QMenu* mnuExport = nullptr;
    QAction* mnuExportBeladung = nullptr;
    QAction* mnuExportRestore = nullptr;
    QAction* mnuExportTakeOver = nullptr;
    QMenu* mnuExtras = nullptr;
    QAction* mnuExtrasOptionen = nullptr;
    QAction* mnuExtrasLadeliste = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuInfo = nullptr;
};
