#pragma once

#include "LoadSheetDrawing.h"
#include "core/settings/Texts.h"

#include <QWidget>

struct AppContext;
class LoadingModel;
class QLabel;
class QPushButton;
class QTableWidget;

// The load sheet: the stations with their weights, places and moments, the empty weight and the
// total, the centre of gravity, what is left up to the maximum take-off weight, and the aircraft
// from above with the stations loaded and the centre of gravity. It shows the loading it is given
// (the main window's, as it changes), and puts it on paper: printed, or saved as a PDF.
class LoadSheetWindow : public QWidget {
    Q_OBJECT
public:
    explicit LoadSheetWindow(AppContext& context, QWidget* parent = nullptr);

    // Shows the load sheet of `loading`; `loadingFile` is the loading file it was opened from or
    // saved to, or empty.
    void setLoading(const LoadingModel& loading, const QString& loadingFile);

    // The commands of its buttons (also what the tests drive).
    void cmdDruckenClick();
    void cmdAlsPdfClick();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();
    void renderPicture();
    QStringList pageLines() const;

    AppContext& m_context;
    Texts m_texts;
    loadsheetdrawing::Pictures m_pictures;
    loadsheet::Sheet m_sheet;
    loadsheetdrawing::Content m_content;
    QString m_loadingFile;

    QLabel* picLadeliste = nullptr;
    QLabel* lblSchwerpunkt = nullptr;
    QLabel* lblMTOW = nullptr;
    QLabel* lblTreibstoff = nullptr;
    QTableWidget* tblLadeliste = nullptr;
    QPushButton* cmdDrucken = nullptr;
    QPushButton* cmdAlsPdf = nullptr;
    QPushButton* cmdSchliessen = nullptr;
};
