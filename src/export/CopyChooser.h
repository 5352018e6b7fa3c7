#pragma once

#include "app/WindowKit.h"
#include "export/AircraftFiles.h"

#include <QStringList>
#include <QWidget>

struct AppContext;
class QComboBox;
class QLabel;
class QPushButton;
namespace exportwriter {
struct Failure;
}

// A small window that lists the installed copies of the TQ 58 and acts on the one chosen: the
// export window and the restore window. A label above the list, O.K. (the default button, also
// Enter) and Cancel (also Esc). The list shows the copies' titles told apart; lstData() holds the
// path of the aircraft.cfg of each entry at the same position.
class CopyChooser : public QWidget {
    Q_OBJECT
public:
    struct Design {
        const char* window;   // objectName of the window
        QString title;        // design-time title
        const char* label;    // objectName of the label
        QString labelText;    // its design-time text
        const char* list;     // objectName of the list
        const char* titleKey; // language key of the title
        const char* labelKey; // language key of the label (followed by ":")
    };

    CopyChooser(AppContext& context, const Design& design, QWidget* parent = nullptr);

    const QStringList& lstData() const { return m_lstData; }

    // What O.K. does with the chosen copy; nothing happens while no copy is chosen.
    virtual void cmdOKClick() = 0;

protected:
    void keyPressEvent(QKeyEvent* event) override;

    // Fills the list, in the order given; nothing is chosen afterwards.
    void setCopies(const QList<aircraftfiles::AircraftCopy>& copies);
    // The chosen copy's aircraft.cfg and title as listed; std::nullopt while none is chosen.
    struct Chosen {
        QString cfgPath;
        QString title;
    };
    std::optional<Chosen> chosen() const;

    void warn(const QString& message);
    // The parts of a message joined as the user reads them: the first, an empty line, the rest.
    QString compose(const QList<MessagePart>& parts) const;

    AppContext& m_context;
    kit::Texts m_texts;
    QLabel* const m_label;
    QComboBox* const m_list;
    QPushButton* const cmdOK;
    QPushButton* const cmdAbbrechen;

private:
    QStringList m_lstData;
};
