#include "ScriptedDialogs.h"

#include <QPainter>
#include <QTest>

QList<ScriptedDialogs::Call> ScriptedDialogs::callsOf(Kind kind) const {
    QList<Call> result;
    for (const Call& call : m_calls) {
        if (call.kind == kind)
            result.append(call);
    }
    return result;
}

QStringList ScriptedDialogs::textsOf(Kind kind) const {
    QStringList result;
    for (const Call& call : callsOf(kind))
        result.append(call.text);
    return result;
}

void ScriptedDialogs::clear() {
    m_calls.clear();
    m_inputs.clear();
    m_questions.clear();
    m_files.clear();
    m_saveFiles.clear();
    m_prints.clear();
}

std::optional<QString> ScriptedDialogs::inputBox(QWidget*, const QString& prompt, const QString& title) {
    m_calls.append({Kind::InputBox, prompt, title});
    if (m_inputs.isEmpty()) {
        QTest::qFail("input box shown without a scripted answer", __FILE__, __LINE__);
        return std::nullopt;
    }
    return m_inputs.takeFirst();
}

void ScriptedDialogs::exclamation(QWidget*, const QString& text, const QString& title) {
    m_calls.append({Kind::Exclamation, text, title});
}

void ScriptedDialogs::information(QWidget*, const QString& text, const QString& title) {
    m_calls.append({Kind::Information, text, title});
}

bool ScriptedDialogs::question(QWidget*, const QString& text, const QString& title, Answer preset) {
    m_calls.append({Kind::Question, text, title, preset});
    if (m_questions.isEmpty()) {
        QTest::qFail("question asked without a scripted answer", __FILE__, __LINE__);
        return false;
    }
    return m_questions.takeFirst();
}

std::optional<QString> ScriptedDialogs::openFile(QWidget*, const QString& filter, const QString& folder) {
    m_calls.append({Kind::OpenFile, filter, folder});
    if (m_files.isEmpty()) {
        QTest::qFail("file dialog shown without a scripted answer", __FILE__, __LINE__);
        return std::nullopt;
    }
    return m_files.takeFirst();
}

std::optional<QString> ScriptedDialogs::saveFile(QWidget*, const QString& filter, const QString& folder,
                                                 const QString& name) {
    m_calls.append({Kind::SaveFile, filter, folder, std::nullopt, name});
    if (m_saveFiles.isEmpty()) {
        QTest::qFail("save dialog shown without a scripted answer", __FILE__, __LINE__);
        return std::nullopt;
    }
    return m_saveFiles.takeFirst();
}

bool ScriptedDialogs::openUrl(const QString& address) {
    m_calls.append({Kind::OpenUrl, address, QString()});
    return m_openUrlResult;
}

Dialogs::Printed ScriptedDialogs::print(QWidget*, const QString& title, const PagePainter& paint) {
    m_calls.append({Kind::Print, QString(), title});
    if (m_prints.isEmpty()) {
        QTest::qFail("print dialog shown without a scripted answer", __FILE__, __LINE__);
        return Printed::Cancelled;
    }
    const Printed outcome = m_prints.takeFirst();
    if (outcome == Printed::Yes) {
        // A4 (210 x 297 mm) at 50 dots per inch.
        m_printedPage = QImage(413, 585, QImage::Format_RGB32);
        m_printedPage.setDotsPerMeterX(1969);
        m_printedPage.setDotsPerMeterY(1969);
        m_printedPage.fill(Qt::white);
        QPainter painter(&m_printedPage);
        paint(painter, QRectF(m_printedPage.rect()));
    }
    return outcome;
}
