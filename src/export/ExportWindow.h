#pragma once

#include "app/WindowKit.h"

#include <QStringList>
#include <QWidget>

#include <functional>

struct AppContext;
class LoadingModel;
class QComboBox;
class QLabel;
class QPushButton;
namespace exportwriter {
struct Failure;
}

// The export window: lists the installed copies of the TQ 58 and writes the loading into one.
//
// Its lists are built once, when the window is created: cmbPA shows the titles and lstData holds
// the path of the aircraft.cfg of each entry at the same position.
class ExportWindow : public QWidget {
    Q_OBJECT
public:
    // The loading on screen at the moment it is asked for; nullptr when there is none.
    using CurrentLoading = std::function<const LoadingModel*()>;

    ExportWindow(AppContext& context, CurrentLoading currentLoading, QWidget* parent = nullptr);

    const QStringList& lstData() const { return m_lstData; }

    // The export of the chosen copy; nothing happens while no copy is chosen.
    void cmdOKClick();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();
    void load();
    void fillList();
    void warn(const QString& message);
    // What the user is told when an export stopped: what failed, and the state of the aircraft.
    QString failureMessage(const exportwriter::Failure& failure) const;

    AppContext& m_context;
    CurrentLoading m_currentLoading;
    kit::Texts m_texts;
    QStringList m_lstData;

    QLabel* lblOne = nullptr;
    QComboBox* cmbPA = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdAbbrechen = nullptr;
};
