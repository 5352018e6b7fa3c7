#pragma once

#include <QWidget>

#include <functional>
#include <optional>

struct AppContext;
class Application;
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
    OptionsWindow(AppContext& context, Application& app, QWidget* parent = nullptr);

    // The folder part of a full file name, including its trailing separator ("/" or "\"):
    // "C:\FS2000\fs2000.exe" gives "C:\FS2000\". A name without a separator has no folder part:
    // std::nullopt.
    static std::optional<QString> GetPath_(const QString& fileName);

    // The file filter of the browse dialog.
    static QString browseFilter();

private:
    void buildControls();
    // Fills the window afresh: the language list without a selection, the texts, the folder
    // from options.cfg and the state of OK.
    void load();

    void cmbSpracheClick();
    void cmdBrowseClick();
    void cmdOKClick();
    void cmdAbbrechenClick();

    // The text of `key`, or `fallback` when the language database cannot give one.
    QString text(const char* key, const QString& fallback) const;
    // Hands the text of `key` followed by `suffix` to `apply`; a database that cannot answer
    // leaves the design text.
    void setText(const char* key, const QString& suffix, const std::function<void(const QString&)>& apply) const;
    // Tells the user that `file` could not be handled: the text of `key` (or `fallback`), the
    // file and the reason.
    void reportFailure(const char* key, const QString& fallback, const QString& file, const QString& reason);

    AppContext& m_context;
    Application& m_app;

    QLabel* lblFSPath = nullptr;
    QLineEdit* txtFS2000 = nullptr;
    QPushButton* cmdBrowse = nullptr;
    QLabel* lblSprache = nullptr;
    QComboBox* cmbSprache = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdAbbrechen = nullptr;
};
