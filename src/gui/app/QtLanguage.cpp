#include "QtLanguage.h"

#include "core/common/FileRead.h"
#include "core/settings/LanguageStore.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QTranslator>

namespace {

// Qt's translations of its own texts take some 200 KiB a language; a file far larger is none.
constexpr qint64 kLargestTranslation = 16 * 1024 * 1024;

} // namespace

QtLanguage::QtLanguage() = default;

QtLanguage::~QtLanguage() {
    if (m_translator)
        QCoreApplication::removeTranslator(m_translator.get());
}

void QtLanguage::follow(const QString& programFolder, const QString& languageDatabase) {
    const QString locale = tryLanguageText(languageDatabase, QStringLiteral("strLocale")).value_or(QString());
    // Only a plain language name may become part of a file name.
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z]{2,3}(_[A-Za-z]{2})?$"));
    const bool usable = plain.match(locale).hasMatch();
    if (usable && locale == m_installed)
        return;
    if (m_translator) {
        QCoreApplication::removeTranslator(m_translator.get());
        m_translator.reset();
        m_file.reset();
        m_installed.clear();
    }
    if (!usable)
        return;
    // Only a regular file is opened: a pipe would hold the start up for ever.
    const QString translation = programFolder + QStringLiteral("translations/qtbase_") + locale + QStringLiteral(".qm");
    auto file = std::make_unique<QFile>();
    if (!openRegularFile(*file, translation, nullptr) || file->size() <= 0 || file->size() > kLargestTranslation)
        return;
    const uchar* texts = file->map(0, file->size());
    if (!texts)
        return;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(texts, int(file->size())))
        return;
    if (!QCoreApplication::installTranslator(translator.get()))
        return;
    m_file = std::move(file);
    m_translator = std::move(translator);
    m_installed = locale;
}
