#pragma once

#include "core/settings/SettingsFiles.h"
#include "core/settings/Texts.h"

#include <QWidget>

struct AppContext;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The options window: the FS2000 folder (kept in options.cfg) and the language (the database
// Data/language.crf, replaced by one of the shipped copies). On the first start after the
// installation it stands in for the main window until OK or Cancel.
class OptionsWindow : public QWidget {
    Q_OBJECT
public:
    explicit OptionsWindow(AppContext& context, QWidget* parent = nullptr);

    // The file filter of the browse dialog.
    static QString browseFilter();

    // What OK could not save (see settings::saveOptions): nothing at all, and the window stays
    // with what was entered; or each step that failed, one message each.
    void refuse(const MessagePart& message);
    void report(const QList<MessagePart>& problems);

signals:
    // OK: the choices are to be saved, and a fresh main window in the language then in force is
    // wanted.
    void confirmed(const settings::Choices& choices);
    // Cancel on the first start: the program ends.
    void quitRequested();

protected:
    // Return presses O.K., the default button, unless a focused button takes it as its own.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();
    // Fills the window afresh: the language list without a selection, the texts, the folder
    // from options.cfg and the state of OK.
    void load();

    void cmbSpracheClick();
    void cmdBrowseClick();
    void cmdOKClick();
    void cmdAbbrechenClick();

    AppContext& m_context;
    Texts m_texts;

    QLabel* lblFSPath = nullptr;
    QLineEdit* txtFS2000 = nullptr;
    QPushButton* cmdBrowse = nullptr;
    QLabel* lblSprache = nullptr;
    QComboBox* cmbSprache = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdAbbrechen = nullptr;
};
