#include "QtLanguage.h"

#include "core/common/PathProbe.h"
#include "core/settings/LanguageStore.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QTranslator>

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
        m_installed.clear();
    }
    if (!usable)
        return;
    // Only a regular file is opened: a pipe would hold the start up for ever.
    const QString translation = programFolder + QStringLiteral("translations/qtbase_") + locale + QStringLiteral(".qm");
    if (pathprobe::probe(translation).state != pathprobe::Probe::State::File)
        return;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(translation))
        return;
    if (!QCoreApplication::installTranslator(translator.get()))
        return;
    m_translator = std::move(translator);
    m_installed = locale;
}
