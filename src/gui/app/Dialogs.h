#pragma once

#include <QString>

#include <functional>
#include <optional>

class QPainter;
class QRectF;
class QWidget;

// The title of the program's error messages, the same in every language.
inline const QString kErrorTitle = QStringLiteral("Error!");

// Every modal interaction of the program goes through this interface, so that tests can answer
// it by script and check the exact prompt and title the user would have seen.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // One-line input box with OK and Cancel and no default answer; std::nullopt on Cancel.
    virtual std::optional<QString> inputBox(QWidget* parent, const QString& prompt, const QString& title) = 0;
    // Message box with the exclamation icon and an OK button.
    virtual void exclamation(QWidget* parent, const QString& text, const QString& title) = 0;
    // Message box with the information icon and an OK button.
    virtual void information(QWidget* parent, const QString& text, const QString& title) = 0;
    // The answer Return gives to a question. A question whose Yes replaces or destroys something
    // has No, so that Return keeps what is there.
    enum class Answer { Yes, No };
    // Yes/No question with the question icon, `preset` its default answer; true for Yes.
    virtual bool question(QWidget* parent, const QString& text, const QString& title, Answer preset) = 0;
    // File-open dialog showing `folder` first; `filter` is in the form
    // "Description|pattern[;pattern...]", or several such pairs one after the other
    // ("Description|pattern|Description|pattern"), the first one in force. std::nullopt when the
    // user cancels.
    virtual std::optional<QString> openFile(QWidget* parent, const QString& filter, const QString& folder) = 0;
    // File-save dialog showing `folder` first with the name `name` offered (none when empty), with
    // the filter in the same form; it asks nothing about a name already taken (the caller does).
    // std::nullopt when the user cancels.
    virtual std::optional<QString> saveFile(QWidget* parent, const QString& filter, const QString& folder,
                                            const QString& name) = 0;
    // Opens a web address in the user's browser; false when that could not be started.
    virtual bool openUrl(const QString& address) = 0;

    // The print dialog for a document of one page named `title`; once the user has chosen to print,
    // `paint` draws the page with the painter it is given, within the printable area it is given
    // (in the device's pixels).
    enum class Printed { Yes, Cancelled, Failed };
    using PagePainter = std::function<void(QPainter& painter, const QRectF& area)>;
    virtual Printed print(QWidget* parent, const QString& title, const PagePainter& paint) = 0;
};
