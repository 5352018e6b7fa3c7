#include "QtDialogs.h"

#include "MessageFit.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QUrl>

#include <algorithm>

namespace {

// A window without a title would show the executable's name in its place; an empty title stays
// empty.
QString shownTitle(const QString& title) {
    return title.isEmpty() ? QStringLiteral(" ") : title;
}

// "Description|pattern[;pattern...]" becomes Qt's "Description (pattern pattern...)", and several
// such pairs Qt's filters one after the other (";;"). Where the file system tells letter cases
// apart (FS2000 in a Wine prefix, for one), the program's files may be named FS2000.EXE or
// Fs2000.exe as well: with `anyCase`, each letter of a pattern then matches either case
// ("fs2000.exe" becomes "[fF][sS]2000.[eE][xX][eE]"), which Qt's own dialog and the native ones of
// those systems all understand. Not for a save dialog: Qt's own one would put such a pattern's
// ending in place of the suffix of the name it offers.
QString qtFilterOf(const QString& filter, bool anyCase) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    if (parts.size() < 2)
        return filter;
    QStringList qtFilters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
#if !defined(Q_OS_WIN) && !defined(Q_OS_MACOS)
        for (QString& pattern : patterns) {
            if (!anyCase || pattern.contains(QLatin1Char('[')))
                continue; // already a pattern with character classes: left as written
            QString anyCase;
            for (const QChar c : pattern) {
                if (c.isLetter() && c.toLower() != c.toUpper())
                    anyCase += QLatin1Char('[') + c.toLower() + c.toUpper() + QLatin1Char(']');
                else
                    anyCase += c;
            }
            pattern = anyCase;
        }
#else
        Q_UNUSED(anyCase);
#endif
        qtFilters << parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return qtFilters.join(QStringLiteral(";;"));
}

} // namespace

std::optional<QString> QtDialogs::inputBox(QWidget* parent, const QString& prompt, const QString& title) {
    bool ok = false;
    const QString answer = QInputDialog::getText(parent, shownTitle(title), prompt, QLineEdit::Normal, QString(), &ok);
    if (!ok)
        return std::nullopt;
    return answer;
}

std::unique_ptr<QMessageBox> QtDialogs::messageBox(QMessageBox::Icon icon, QWidget* parent, const QString& text,
                                                   const QString& title, QMessageBox::StandardButtons buttons) {
    auto box = std::make_unique<QMessageBox>(icon, shownTitle(title), QString(), buttons, parent);
    // Paths and titles are text, never markup.
    box->setTextFormat(Qt::PlainText);
    const messagefit::MessageRoom room = messagefit::messageRoom(parent ? parent->screen() : nullptr);
    const QString shown = messagefit::fitted(text, room);
    box->setText(shown);
    // A long text wraps at the room's width rather than at the box's narrower one of its own, and
    // a run shortened to that width stays on one line (a path alone on its line as well): the
    // label's text gets as much of the room as its widest line takes, in the font it was measured
    // in, besides the label's own margins and indent.
    auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    if (label && room.width > 0) {
        label->setFont(room.font);
        const QMargins margins = label->contentsMargins();
        const int besides = margins.left() + margins.right() + 2 * label->margin() + std::max(label->indent(), 0);
        label->setMinimumWidth(std::min(messagefit::widestLine(shown, room), room.width) + besides);
    }
    return box;
}

namespace {

// Shows the box until it is answered; the answer. A box that went with its parent meanwhile was
// answered with nothing.
int answered(std::unique_ptr<QMessageBox> made) {
    const QPointer<QMessageBox> box = made.release();
    const int answer = box->exec();
    const bool there = box;
    delete box.data();
    return there ? answer : int(QMessageBox::NoButton);
}

} // namespace

void QtDialogs::exclamation(QWidget* parent, const QString& text, const QString& title) {
    answered(messageBox(QMessageBox::Warning, parent, text, title, QMessageBox::Ok));
}

void QtDialogs::information(QWidget* parent, const QString& text, const QString& title) {
    answered(messageBox(QMessageBox::Information, parent, text, title, QMessageBox::Ok));
}

bool QtDialogs::question(QWidget* parent, const QString& text, const QString& title, Answer preset) {
    auto box = messageBox(QMessageBox::Question, parent, text, title, QMessageBox::Yes | QMessageBox::No);
    box->setDefaultButton(preset == Answer::Yes ? QMessageBox::Yes : QMessageBox::No);
    return answered(std::move(box)) == QMessageBox::Yes;
}

std::optional<QString> QtDialogs::openFile(QWidget* parent, const QString& filter, const QString& folder) {
    QFileDialog dialog(parent, QString(), folder, qtFilterOf(filter, true));
    dialog.setFileMode(QFileDialog::ExistingFile);
    // The description already names the file; the patterns themselves need not be shown.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> QtDialogs::saveFile(QWidget* parent, const QString& filter, const QString& folder,
                                           const QString& name) {
    QFileDialog dialog(parent, QString(), folder, qtFilterOf(filter, false));
    if (!name.isEmpty())
        dialog.selectFile(name);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The caller asks before a file is replaced, through these dialogs like every question.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

bool QtDialogs::openUrl(const QString& address) {
    return QDesktopServices::openUrl(QUrl(address));
}

Dialogs::Printed QtDialogs::print(QWidget* parent, const QString& title, const PagePainter& paint) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(title);
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    if (dialog.exec() != QDialog::Accepted)
        return Printed::Cancelled;
    QPainter painter;
    if (!painter.begin(&printer))
        return Printed::Failed;
    // The painter's origin is the top left corner of the printable area.
    const QRect printable = printer.pageLayout().paintRectPixels(printer.resolution());
    paint(painter, QRectF(QPointF(0, 0), QSizeF(printable.size())));
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        return Printed::Failed;
    return Printed::Yes;
}
