#include "OptionsWindow.h"

#include "core/common/Paths.h"
#include "core/settings/SettingsFiles.h"
#include "gui/app/Accessibility.h"
#include "gui/app/AppContext.h"
#include "gui/app/Dialogs.h"
#include "gui/app/Fonts.h"
#include "gui/app/Twips.h"
#include "gui/app/WindowLayout.h"

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
    setFont(layout::font(QStringLiteral("Verdana"), 8.25));
    setFixedSize(twips::toPixels(5400), twips::toPixels(1455));
    buildControls();
    layout::centreOnScreen(this);
    layout::activateWhenShown(this);
    accessibility::tellAsDialog(this);
    load();
}

QString OptionsWindow::browseFilter() {
    return QStringLiteral("FS2000 - EXE ( fs2000.exe )|fs2000.exe");
}

void OptionsWindow::buildControls() {
    lblFSPath = layout::label(this, "lblFSPath", QStringLiteral("FS2000-Pfad:"), {135, 180, 1410, 195});

    txtFS2000 = new QLineEdit(this);
    txtFS2000->setObjectName(QStringLiteral("txtFS2000"));
    txtFS2000->setFont(layout::font(QStringLiteral("MS Sans Serif"), 8.25));
    txtFS2000->setGeometry(twips::rect(1620, 135, 3300, 285));

    cmdBrowse = layout::button(this, "cmdBrowse", QStringLiteral("..."), {4995, 135, 330, 285});
    cmdBrowse->setToolTip(QStringLiteral("Durchsuchen"));
    connect(cmdBrowse, &QPushButton::clicked, this, &OptionsWindow::cmdBrowseClick);

    lblSprache = layout::label(this, "lblSprache", QStringLiteral("#"), {135, 630, 1410, 195});

    cmbSprache = new QComboBox(this);
    cmbSprache->setObjectName(QStringLiteral("cmbSprache"));
    cmbSprache->setEditable(false);
    cmbSprache->setGeometry(twips::rect(1620, 585, 3720, 315));
    // Only a choice of the user's counts, and it counts each time, even for the same entry again.
    connect(cmbSprache, &QComboBox::activated, this, &OptionsWindow::cmbSpracheClick);

    cmdOK = layout::button(this, "cmdOK", QStringLiteral("O.K."), {2250, 1035, 1500, 375});
    connect(cmdOK, &QPushButton::clicked, this, &OptionsWindow::cmdOKClick);

    cmdAbbrechen = layout::button(this, "cmdAbbrechen", QStringLiteral("Abbrechen"), {3825, 1035, 1500, 375});
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
    // A screen reader names the two fields after their captions (never after a placeholder "#").
    txtFS2000->setAccessibleName(m_texts.ownText(QStringLiteral("lblFS2000Path")));
    accessibility::nameList(cmbSprache, m_texts.ownText(QStringLiteral("strLanguage")));
    fonts::keepCaptionsWhole(this);
    cmdBrowse->setAccessibleName(m_texts.ownText(QStringLiteral("strBrowse")));

    const settings::Loaded loaded = settings::loadOptions(m_context.programFolder);
    report(loaded.problems);

    cmdOK->setEnabled(m_context.intFirstStart != 1);
    txtFS2000->setText(loaded.fs2000Folder);
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
    emit confirmed({txtFS2000->text(), cmbSprache->currentText()});
}

void OptionsWindow::cmdAbbrechenClick() {
    if (m_context.intFirstStart == 1) {
        // Nothing has been saved, so the next start is a first start again.
        emit quitRequested();
        return;
    }
    close();
}

void OptionsWindow::refuse(const MessagePart& message) {
    m_context.dialogs->exclamation(this, m_texts.ownMessage(message),
                                   m_texts.ownText(QStringLiteral("strOptionsError")));
}

void OptionsWindow::report(const QList<MessagePart>& problems) {
    for (const MessagePart& problem : problems)
        m_context.dialogs->exclamation(this, m_texts.fileProblem(problem),
                                       m_texts.ownText(QStringLiteral("strOptionsError")));
}
