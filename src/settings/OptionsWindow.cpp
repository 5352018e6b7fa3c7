#include "OptionsWindow.h"

#include "BuiltinTexts.h"
#include "SettingsFiles.h"
#include "app/Twips.h"
#include "common/AppContext.h"
#include "common/Dialogs.h"
#include "common/Paths.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

namespace {

// Blanks (only blanks) at both ends removed.
QString trimBlanks(const QString& text) {
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && text[start] == QLatin1Char(' '))
        ++start;
    while (end > start && text[end - 1] == QLatin1Char(' '))
        --end;
    return text.mid(start, end - start);
}

} // namespace

OptionsWindow::OptionsWindow(AppContext& context, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_context(context), m_texts(context.languageDatabase()) {
    setObjectName(QStringLiteral("frmOptionen"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Optionen"));
    setFont(kit::font(QStringLiteral("Verdana"), 8.25));
    setFixedSize(twips::toPixels(5400), twips::toPixels(1455));
    buildControls();
    kit::centreOnScreen(this);
    kit::activateWhenShown(this);
    load();
}

QString OptionsWindow::browseFilter() {
    return QStringLiteral("FS2000 - EXE ( fs2000.exe )|fs2000.exe");
}

void OptionsWindow::buildControls() {
    lblFSPath = kit::label(this, "lblFSPath", QStringLiteral("FS2000-Pfad:"), {135, 180, 1410, 195});

    txtFS2000 = new QLineEdit(this);
    txtFS2000->setObjectName(QStringLiteral("txtFS2000"));
    txtFS2000->setFont(kit::font(QStringLiteral("MS Sans Serif"), 8.25));
    txtFS2000->setGeometry(twips::rect(1620, 135, 3300, 285));

    cmdBrowse = kit::button(this, "cmdBrowse", QStringLiteral("..."), {4995, 135, 330, 285});
    cmdBrowse->setToolTip(QStringLiteral("Durchsuchen"));
    connect(cmdBrowse, &QPushButton::clicked, this, &OptionsWindow::cmdBrowseClick);

    lblSprache = kit::label(this, "lblSprache", QStringLiteral("#"), {135, 630, 1410, 195});

    cmbSprache = new QComboBox(this);
    cmbSprache->setObjectName(QStringLiteral("cmbSprache"));
    cmbSprache->setEditable(false);
    cmbSprache->setGeometry(twips::rect(1620, 585, 3720, 315));
    // Only a choice of the user's counts, and it counts each time, even for the same entry again.
    connect(cmbSprache, &QComboBox::activated, this, &OptionsWindow::cmbSpracheClick);

    cmdOK = kit::button(this, "cmdOK", QStringLiteral("O.K."), {2250, 1035, 1500, 375});
    connect(cmdOK, &QPushButton::clicked, this, &OptionsWindow::cmdOKClick);

    cmdAbbrechen = kit::button(this, "cmdAbbrechen", QStringLiteral("Abbrechen"), {3825, 1035, 1500, 375});
    // As in any dialog: O.K. is the default button, and a focused button takes Return itself.
    for (QPushButton* b : {cmdBrowse, cmdOK, cmdAbbrechen})
        b->setAutoDefault(true);
    cmdOK->setDefault(true);
    connect(cmdAbbrechen, &QPushButton::clicked, this, &OptionsWindow::cmdAbbrechenClick);
    // Esc is Cancel, as in any dialog.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, cmdAbbrechen,
            &QPushButton::click);

    setTabOrder(txtFS2000, cmdBrowse);
    setTabOrder(cmdBrowse, cmdOK);
    setTabOrder(cmdOK, cmdAbbrechen);
    setTabOrder(cmdAbbrechen, cmbSprache);
    txtFS2000->setFocus(Qt::OtherFocusReason);
}

void OptionsWindow::load() {
    cmbSprache->clear();
    cmbSprache->addItem(QLatin1String(settings::kEnglishEntry));
    cmbSprache->addItem(QLatin1String(settings::kGermanEntry));
    cmbSprache->setCurrentIndex(-1);

    m_texts.apply(QStringLiteral("mnuExtrasOptionen"), QString(), [this](const QString& t) { setWindowTitle(t); });
    m_texts.apply(QStringLiteral("cmdAbbrechen"), QString(), [this](const QString& t) { cmdAbbrechen->setText(t); });
    m_texts.apply(QStringLiteral("cmdOK"), QString(), [this](const QString& t) { cmdOK->setText(t); });
    m_texts.apply(QStringLiteral("lblFS2000Path"), QStringLiteral(":"),
                  [this](const QString& t) { lblFSPath->setText(t); });
    m_texts.apply(QStringLiteral("strLanguage"), QStringLiteral(":"),
                  [this](const QString& t) { lblSprache->setText(t); });
    m_texts.apply(QStringLiteral("strBrowse"), QStringLiteral("..."),
                  [this](const QString& t) { cmdBrowse->setToolTip(t); });

    QString reason;
    const std::optional<QString> folder = settings::readFs2000Folder(m_context.programFolder, &reason);
    if (!folder && !reason.isEmpty()) {
        // A missing options.cfg simply means no folder has been chosen yet; one that is there but
        // cannot be read is worth a word, since OK would write the empty folder over it.
        reportFailure(QStringLiteral("strFolderNotRead"), m_context.path(QLatin1String(settings::kOptionsFile)),
                      reason);
    }

    cmdOK->setEnabled(m_context.intFirstStart != 1);
    txtFS2000->setText(folder.value_or(QString()));
}

void OptionsWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // A disabled O.K. (the first start before a language is chosen) ignores it.
        cmdOK->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void OptionsWindow::cmbSpracheClick() {
    if (trimBlanks(txtFS2000->text()) != QLatin1String("<>"))
        cmdOK->setEnabled(true);
}

void OptionsWindow::cmdBrowseClick() {
    // The dialog shows the FS2000 folder entered, or the program folder when there is none yet.
    const QString entered = QDir::fromNativeSeparators(txtFS2000->text().trimmed());
    const QString shown = !entered.isEmpty() && QFileInfo(entered).isDir() ? entered : m_context.programFolder;
    // Cancelling the dialog, or a name without a folder, ends the browse without a word.
    const std::optional<QString> chosen = m_context.dialogs->openFile(this, browseFilter(), shown);
    if (!chosen)
        return;
    const std::optional<QString> folder = GetPath_(*chosen);
    if (!folder)
        return;
    // As the system writes it (D:\Games\FS2000\ on Windows), which is how options.cfg keeps it.
    txtFS2000->setText(QDir::toNativeSeparators(*folder));
    if (!cmbSprache->currentText().isEmpty())
        cmdOK->setEnabled(true);
}

void OptionsWindow::cmdOKClick() {
    const settings::SaveOutcome saved =
        settings::saveOptions(m_context.programFolder, txtFS2000->text(), cmbSprache->currentText());
    if (!saved.unwritableFolder.isEmpty()) {
        // Nothing has been saved: the window stays with what was entered, so that the user can
        // cancel and start the program again from a folder of their own.
        m_context.dialogs->exclamation(
            this,
            textOf(QStringLiteral("strProgramFolderReadOnly")).arg(QDir::toNativeSeparators(saved.unwritableFolder)),
            textOf(QStringLiteral("strOptionsError")));
        return;
    }
    // Each step that failed is reported; the others were done all the same. Every file is replaced
    // as a whole, so a failed step leaves the old file as it was.
    for (const settings::SaveProblem& problem : saved.problems)
        reportFailure(problem.key, problem.file, problem.reason);

    close();
    // A fresh main window in the language now in force. Should the first start still be pending
    // (strt.cfg could not be written), it gives way to a fresh options window again.
    emit reloadRequested();
}

void OptionsWindow::cmdAbbrechenClick() {
    if (m_context.intFirstStart == 1) {
        // Nothing has been saved, so the next start is a first start again.
        emit quitRequested();
        return;
    }
    close();
}

QString OptionsWindow::textOf(const QString& key) const {
    // Never an empty message: where the database has no text, the program's own stands in.
    return m_texts.textOr(key, builtin::text(key).value_or(key));
}

void OptionsWindow::reportFailure(const QString& key, const QString& file, const QString& reason) {
    const QString message =
        textOf(key) + QStringLiteral("\n\n") + QDir::toNativeSeparators(file) + QStringLiteral("\n") + reason;
    m_context.dialogs->exclamation(this, message, textOf(QStringLiteral("strOptionsError")));
}
