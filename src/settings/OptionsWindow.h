#pragma once

#include "app/WindowKit.h"

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

signals:
    // OK has saved what it could: a fresh main window in the language now in force is wanted.
    void reloadRequested();
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

    // Tells the user that `file` could not be handled: the text of `key`, the file and the reason.
    void reportFailure(const QString& key, const QString& file, const QString& reason);
    // The text of a key; the program's own where the database has none.
    QString textOf(const QString& key) const;

    AppContext& m_context;
    kit::Texts m_texts;

    QLabel* lblFSPath = nullptr;
    QLineEdit* txtFS2000 = nullptr;
    QPushButton* cmdBrowse = nullptr;
    QLabel* lblSprache = nullptr;
    QComboBox* cmbSprache = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdAbbrechen = nullptr;
};
