#pragma once

#include "core/export/AircraftFiles.h"
#include "core/settings/Texts.h"
#include "gui/app/Dialogs.h"

#include <QStringList>
#include <QWidget>

struct AppContext;
class QComboBox;
class QLabel;
class QPushButton;

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

    // Fills the list afresh with `copies`, in the order given, each line followed by its text in
    // `details` where there is one. A copy chosen before stays chosen while it is listed; otherwise
    // nothing is chosen.
    void setCopies(const QList<aircraftfiles::AircraftCopy>& copies, const QStringList& details = {});

    // What O.K. does with the chosen copy: asks for it (copyChosen); nothing happens while no
    // copy is chosen.
    virtual void cmdOKClick();

    // What the program tells about the chosen copy, shown by this window (see Texts for how
    // the parts are joined): a refusal (the window stays open for another choice), a question
    // (true for Yes; `preset` the answer Return gives), and the end (then the window closes; the
    // second form puts each part after the first on a line of its own).
    void refuse(const QList<MessagePart>& message);
    bool ask(const QList<MessagePart>& question, Dialogs::Answer preset);
    void finish(const QList<MessagePart>& message);
    void finishItemised(const QList<MessagePart>& message);

signals:
    // `title` is the copy's title as listed.
    void copyChosen(const QString& cfgPath, const QString& title);

protected:
    void keyPressEvent(QKeyEvent* event) override;

    // The chosen copy's aircraft.cfg and title as listed (without its details); std::nullopt while
    // none is chosen.
    struct Chosen {
        QString cfgPath;
        QString title;
    };
    std::optional<Chosen> chosen() const;

    AppContext& m_context;
    Texts m_texts;
    QLabel* const m_label;
    QComboBox* const m_list;
    QPushButton* const cmdOK;
    QPushButton* const cmdAbbrechen;

private:
    QStringList m_lstData;
    QStringList m_titles;
};
