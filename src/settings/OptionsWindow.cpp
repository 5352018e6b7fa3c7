#include "OptionsWindow.h"

#include "LanguageStore.h"
#include "SettingsFiles.h"
#include "app/AppContext.h"
#include "app/Application.h"
#include "app/Dialogs.h"
#include "app/Twips.h"
#include "common/AtomicFile.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>

namespace {

QFont makeFont(const char* family, double points) {
    QFont f(QString::fromLatin1(family));
    f.setPointSizeF(points);
    return f;
}

const QString kEnglish = QStringLiteral("English");
const QString kDeutsch = QStringLiteral("Deutsch");

// The shipped language database behind an entry of the language list; empty for no entry.
QString languageSource(const QString& entry) {
    if (entry == kDeutsch)
        return QStringLiteral("Data/languages/german.crf");
    if (entry == kEnglish)
        return QStringLiteral("Data/languages/english.crf");
    return QString();
}

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

OptionsWindow::OptionsWindow(AppContext& context, Application& app, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_context(context), m_app(app) {
    setObjectName(QStringLiteral("frmOptionen"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Optionen"));
    setFont(makeFont("Verdana", 8.25));
    setFixedSize(twips::toPixels(5400), twips::toPixels(1455));
    buildControls();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    load();
}

std::optional<QString> OptionsWindow::GetPath_(const QString& fileName) {
    qsizetype n = fileName.size();
    while (n > 0 && fileName[n - 1] != QLatin1Char('/') && fileName[n - 1] != QLatin1Char('\\'))
        --n;
    if (n == 0)
        return std::nullopt;
    return fileName.left(n);
}

QString OptionsWindow::browseFilter() {
    return QStringLiteral("FS2000 - EXE ( fs2000.exe )|fs2000.exe");
}

void OptionsWindow::buildControls() {
    auto label = [this](const char* name, const QString& caption, QRect geometry) {
        auto* l = new QLabel(caption, this);
        l->setObjectName(QString::fromLatin1(name));
        l->setGeometry(geometry);
        return l;
    };
    auto button = [this](const char* name, const QString& caption, QRect geometry) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(geometry);
        b->setAutoDefault(false);
        return b;
    };

    lblFSPath = label("lblFSPath", QStringLiteral("FS2000-Pfad:"), twips::rect(135, 180, 1410, 195));

    txtFS2000 = new QLineEdit(this);
    txtFS2000->setObjectName(QStringLiteral("txtFS2000"));
    txtFS2000->setFont(makeFont("MS Sans Serif", 8.25));
    txtFS2000->setGeometry(twips::rect(1620, 135, 3300, 285));

    cmdBrowse = button("cmdBrowse", QStringLiteral("..."), twips::rect(4995, 135, 330, 285));
    cmdBrowse->setToolTip(QStringLiteral("Durchsuchen"));
    connect(cmdBrowse, &QPushButton::clicked, this, &OptionsWindow::cmdBrowseClick);

    lblSprache = label("lblSprache", QStringLiteral("#"), twips::rect(135, 630, 1410, 195));

    cmbSprache = new QComboBox(this);
    cmbSprache->setObjectName(QStringLiteral("cmbSprache"));
    cmbSprache->setEditable(false);
    cmbSprache->setGeometry(twips::rect(1620, 585, 3720, 315));
    // Only a choice of the user's counts, and it counts each time, even for the same entry again.
    connect(cmbSprache, &QComboBox::activated, this, &OptionsWindow::cmbSpracheClick);

    cmdOK = button("cmdOK", QStringLiteral("O.K."), twips::rect(2250, 1035, 1500, 375));
    connect(cmdOK, &QPushButton::clicked, this, &OptionsWindow::cmdOKClick);

    cmdAbbrechen = button("cmdAbbrechen", QStringLiteral("Abbrechen"), twips::rect(3825, 1035, 1500, 375));
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

QString OptionsWindow::text(const char* key, const QString& fallback) const {
    const std::optional<QString> found = tryLanguageText(m_context.languageDatabase(), QString::fromLatin1(key));
    return found && !found->isEmpty() ? *found : fallback;
}

void OptionsWindow::setText(const char* key, const QString& suffix,
                            const std::function<void(const QString&)>& apply) const {
    // A database that cannot answer leaves the design text in place.
    if (const auto found = tryLanguageText(m_context.languageDatabase(), QString::fromLatin1(key)))
        apply(*found + suffix);
}

void OptionsWindow::load() {
    cmbSprache->clear();
    cmbSprache->addItem(kEnglish);
    cmbSprache->addItem(kDeutsch);
    cmbSprache->setCurrentIndex(-1);

    setText("mnuExtrasOptionen", QString(), [this](const QString& t) { setWindowTitle(t); });
    setText("cmdAbbrechen", QString(), [this](const QString& t) { cmdAbbrechen->setText(t); });
    setText("cmdOK", QString(), [this](const QString& t) { cmdOK->setText(t); });
    setText("lblFS2000Path", QStringLiteral(":"), [this](const QString& t) { lblFSPath->setText(t); });
    setText("strLanguage", QStringLiteral(":"), [this](const QString& t) { lblSprache->setText(t); });
    setText("strBrowse", QStringLiteral("..."), [this](const QString& t) { cmdBrowse->setToolTip(t); });

    QString reason;
    const std::optional<QString> folder = settings::readFs2000Folder(m_context.programFolder, &reason);
    if (!folder && !reason.isEmpty()) {
        // A missing options.cfg simply means no folder has been chosen yet; one that is there but
        // cannot be read is worth a word, since OK would write the empty folder over it.
        reportFailure("strFolderNotRead", QStringLiteral("Der FS2000-Pfad konnte nicht gelesen werden."),
                      m_context.path(QLatin1String(settings::kOptionsFile)), reason);
    }

    cmdOK->setEnabled(m_context.intFirstStart != 1);
    txtFS2000->setText(folder.value_or(QString()));
}

void OptionsWindow::cmbSpracheClick() {
    if (trimBlanks(txtFS2000->text()) != QLatin1String("<>"))
        cmdOK->setEnabled(true);
}

void OptionsWindow::cmdBrowseClick() {
    // Cancelling the dialog, or a name without a folder, ends the browse without a word.
    const std::optional<QString> chosen = m_context.dialogs->openFile(this, browseFilter());
    if (!chosen)
        return;
    const std::optional<QString> folder = GetPath_(*chosen);
    if (!folder)
        return;
    txtFS2000->setText(*folder);
    if (!cmbSprache->currentText().isEmpty())
        cmdOK->setEnabled(true);
}

void OptionsWindow::cmdOKClick() {
    // Each step that fails is reported and skipped; the next one runs all the same. Every file is
    // replaced as a whole, so a failed step leaves the old file as it was.
    QString reason;

    // 1. The FS2000 folder.
    if (!settings::writeFs2000Folder(m_context.programFolder, txtFS2000->text(), &reason)) {
        reportFailure("strFolderNotSaved", QStringLiteral("Der FS2000-Pfad konnte nicht gespeichert werden."),
                      m_context.path(QLatin1String(settings::kOptionsFile)), reason);
    }

    // 2. The language.
    const QString source = languageSource(cmbSprache->currentText());
    if (!source.isEmpty()) {
        const QString sourcePath = m_context.path(source);
        QFile shipped(sourcePath);
        if (!shipped.open(QIODevice::ReadOnly)) {
            reportFailure("strLanguageNotSwitched", QStringLiteral("Die Sprache konnte nicht umgestellt werden."),
                          sourcePath, shipped.errorString());
        } else {
            shipped.close();
            if (!atomicfile::replaceWithCopy(sourcePath, m_context.languageDatabase(), &reason)) {
                reportFailure("strLanguageNotSwitched", QStringLiteral("Die Sprache konnte nicht umgestellt werden."),
                              m_context.languageDatabase(), reason);
            }
        }
    }

    // 3. The first start is done.
    if (!settings::writeFirstStartFlag(m_context.programFolder, 0, &reason)) {
        reportFailure("strFirstStartNotSaved",
                      QStringLiteral("Der Abschluss des ersten Starts konnte nicht gespeichert werden."),
                      m_context.path(QLatin1String(settings::kFirstStartFile)), reason);
    }

    // 4. Close; the window goes once this handler is done.
    close();

    // 5. and 6. A fresh main window in the language now in force. If the first start is still
    // pending (strt.cfg could not be written), it gives way to a fresh options window again.
    m_app.reloadMainWindow();
}

void OptionsWindow::cmdAbbrechenClick() {
    if (m_context.intFirstStart == 1) {
        // Nothing has been saved, so the next start is a first start again.
        m_app.quitNow();
        return;
    }
    close();
}

void OptionsWindow::reportFailure(const char* key, const QString& fallback, const QString& file,
                                  const QString& reason) {
    const QString message =
        text(key, fallback) + QStringLiteral("\n\n") + QDir::toNativeSeparators(file) + QStringLiteral("\n") + reason;
    m_context.dialogs->exclamation(this, message, text("strOptionsError", QStringLiteral("Fehler")));
}
