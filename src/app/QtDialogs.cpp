#include "QtDialogs.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QUrl>

std::optional<QString> QtDialogs::inputBox(QWidget* parent, const QString& prompt, const QString& title) {
    bool ok = false;
    const QString answer = QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, QString(), &ok);
    if (!ok)
        return std::nullopt;
    return answer;
}

void QtDialogs::exclamation(QWidget* parent, const QString& text, const QString& title) {
    QMessageBox::warning(parent, title, text, QMessageBox::Ok);
}

void QtDialogs::information(QWidget* parent, const QString& text, const QString& title) {
    QMessageBox::information(parent, title, text, QMessageBox::Ok);
}

bool QtDialogs::question(QWidget* parent, const QString& text, const QString& title) {
    return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) ==
           QMessageBox::Yes;
}

std::optional<QString> QtDialogs::openFile(QWidget* parent, const QString& filter) {
    // "Description|pattern" becomes Qt's "Description (pattern)".
    QString qtFilter = filter;
    const qsizetype bar = filter.indexOf(QLatin1Char('|'));
    if (bar >= 0)
        qtFilter = filter.left(bar) + QStringLiteral(" (") + filter.mid(bar + 1).replace(QLatin1Char(';'), QLatin1Char(' ')) +
                   QLatin1Char(')');
    QFileDialog dialog(parent, QString(), QString(), qtFilter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

bool QtDialogs::openUrl(const QString& address) { return QDesktopServices::openUrl(QUrl(address)); }
