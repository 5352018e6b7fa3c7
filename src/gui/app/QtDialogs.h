#pragma once

#include "core/common/Dialogs.h"

// The real dialogs: QInputDialog, QMessageBox, QFileDialog and QDesktopServices.
class QtDialogs final : public Dialogs {
public:
    std::optional<QString> inputBox(QWidget* parent, const QString& prompt, const QString& title) override;
    void exclamation(QWidget* parent, const QString& text, const QString& title) override;
    void information(QWidget* parent, const QString& text, const QString& title) override;
    bool question(QWidget* parent, const QString& text, const QString& title) override;
    std::optional<QString> openFile(QWidget* parent, const QString& filter, const QString& folder) override;
    std::optional<QString> saveFile(QWidget* parent, const QString& filter, const QString& folder) override;
    bool openUrl(const QString& address) override;
};
