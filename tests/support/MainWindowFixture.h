#pragma once

#include "TestProgramFolder.h"
#include "app/Application.h"
#include "app/MainWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include <memory>

// A loaded main window over a temporary program folder, with helpers that act as the user does.
class MainWindowFixture {
public:
    MainWindowFixture() : app(std::make_unique<Application>(folder.context())) {}

    // Loads and shows the main window (strt.cfg holds 0 unless the test wrote something else).
    MainWindow* open() {
        app->showMainWindow();
        return app->mainWindow();
    }
    MainWindow* window() const { return app->mainWindow(); }

    template <typename T = QWidget> T* control(const char* name) const {
        return window() ? window()->findChild<T*>(QString::fromUtf8(name)) : nullptr;
    }
    QString tooltip(const char* name) const { return control<QWidget>(name)->toolTip(); }
    QString textOf(const char* name) const {
        if (auto* edit = control<QLineEdit>(name))
            return edit->text();
        if (auto* button = control<QPushButton>(name))
            return button->text();
        return control<QLabel>(name)->text();
    }
    // Clicks a seat picture with the mouse, answering the input box with `answer` if it comes.
    void clickSeat(const char* name, std::optional<QString> answer = std::nullopt, bool expectInput = true) {
        if (expectInput)
            folder.dialogs().answerInput(std::move(answer));
        QTest::mouseClick(control<QLabel>(name), Qt::LeftButton);
    }
    // True when the seat shows the given legend picture (imgSet or imgReset).
    bool showsPictureOf(const char* seat, const char* legend) const {
        return control<QLabel>(seat)->pixmap().toImage() == control<QLabel>(legend)->pixmap().toImage();
    }

    TestProgramFolder folder;
    std::unique_ptr<Application> app;
};
