#pragma once

#include <QStringList>
#include <QWidget>

struct AppContext;
namespace exportwriter {
struct Failure;
}
class Application;
class QComboBox;
class QLabel;
class QPushButton;

// The export window: lists the installed copies of the TQ 58 and writes the loading into one.
//
// Its lists are built once, when the window is created: cmbPA shows the titles and lstData holds
// the path of the aircraft.cfg of each entry at the same position.
class ExportWindow : public QWidget {
    Q_OBJECT
public:
    ExportWindow(AppContext& context, Application& app, QWidget* parent = nullptr);

    const QStringList& lstData() const { return m_lstData; }

    // The export of the chosen copy; nothing happens while no copy is chosen.
    void cmdOKClick();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();
    void load();
    void fillList();
    QString text(const QString& key) const;
    // The message of a language key with its placeholders filled in; should the database have no
    // text for it, the key and the details still tell what happened.
    QString message(const QString& key, const QStringList& details) const;
    void warn(const QString& message);
    // What the user is told when an export stopped: what failed, and the state of the aircraft.
    QString failureMessage(const exportwriter::Failure& failure) const;

    AppContext& m_context;
    Application& m_app;
    QStringList m_lstData;

    QLabel* lblOne = nullptr;
    QComboBox* cmbPA = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdAbbrechen = nullptr;
};
