#pragma once

#include "Dialogs.h"

#include <QMessageBox>

#include <memory>

// The real dialogs: QInputDialog, QMessageBox, QFileDialog, QDesktopServices and QPrintDialog.
class QtDialogs final : public Dialogs {
public:
    std::optional<QString> inputBox(QWidget* parent, const QString& prompt, const QString& title) override;
    void exclamation(QWidget* parent, const QString& text, const QString& title) override;
    void information(QWidget* parent, const QString& text, const QString& title) override;
    bool question(QWidget* parent, const QString& text, const QString& title, Answer preset) override;
    std::optional<QString> openFile(QWidget* parent, const QString& filter, const QString& folder) override;
    std::optional<QString> saveFile(QWidget* parent, const QString& filter, const QString& folder,
                                    const QString& name) override;
    bool openUrl(const QString& address) override;
    Printed print(QWidget* parent, const QString& title, const PagePainter& paint) override;

    // The message box the three kinds of message show, made to fit the screen of `parent` (see
    // MessageFit.h): its text wraps at the room's width, and no run of it is wider.
    static std::unique_ptr<QMessageBox> messageBox(QMessageBox::Icon icon, QWidget* parent, const QString& text,
                                                   const QString& title, QMessageBox::StandardButtons buttons);
};
