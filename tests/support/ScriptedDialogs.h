#pragma once

#include "gui/app/Dialogs.h"

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Dialogs answered from a script. Every call is recorded with its kind, text and title, so a test
// can check exactly what the user would have been shown. A call that finds no scripted answer
// fails the test (it is answered with Cancel / No / nothing).
class ScriptedDialogs final : public Dialogs {
public:
    enum class Kind { InputBox, Exclamation, Information, Question, OpenFile, OpenUrl, SaveFile, Print };
    struct Call {
        Kind kind;
        QString text;                                         // prompt, message text, file filter or web address
        QString title;                                        // for the file dialogs: the folder they show first
        std::optional<Dialogs::Answer> preset = std::nullopt; // for a question: the answer Return gives
        QString offered = {};                                 // for the save dialog: the name offered
    };

    // Answers queued in the order the calls come.
    void answerInput(std::optional<QString> answer) { m_inputs.append(std::move(answer)); }
    void answerQuestion(bool yes) { m_questions.append(yes); }
    void answerOpenFile(std::optional<QString> path) { m_files.append(std::move(path)); }
    void answerSaveFile(std::optional<QString> path) { m_saveFiles.append(std::move(path)); }
    void setOpenUrlResult(bool ok) { m_openUrlResult = ok; }
    // A print dialog answered Yes paints its page on an A4 image at 50 dots per inch.
    void answerPrint(Printed outcome) { m_prints.append(outcome); }
    const QImage& printedPage() const { return m_printedPage; }

    const QList<Call>& calls() const { return m_calls; }
    QList<Call> callsOf(Kind kind) const;
    QStringList textsOf(Kind kind) const; // the texts of the calls of that kind, in order
    void clear();
    // True when every queued answer has been used.
    bool allAnswered() const {
        return m_inputs.isEmpty() && m_questions.isEmpty() && m_files.isEmpty() && m_saveFiles.isEmpty() &&
               m_prints.isEmpty();
    }

    std::optional<QString> inputBox(QWidget* parent, const QString& prompt, const QString& title) override;
    void exclamation(QWidget* parent, const QString& text, const QString& title) override;
    void information(QWidget* parent, const QString& text, const QString& title) override;
    bool question(QWidget* parent, const QString& text, const QString& title, Answer preset) override;
    std::optional<QString> openFile(QWidget* parent, const QString& filter, const QString& folder) override;
    std::optional<QString> saveFile(QWidget* parent, const QString& filter, const QString& folder,
                                    const QString& name) override;
    bool openUrl(const QString& address) override;
    Printed print(QWidget* parent, const QString& title, const PagePainter& paint) override;

private:
    QList<Call> m_calls;
    QList<std::optional<QString>> m_inputs;
    QList<bool> m_questions;
    QList<std::optional<QString>> m_files;
    QList<std::optional<QString>> m_saveFiles;
    bool m_openUrlResult = true;
    QList<Printed> m_prints;
    QImage m_printedPage;
};
