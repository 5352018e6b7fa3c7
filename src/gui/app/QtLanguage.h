#pragma once

#include <QString>

#include <memory>

class QFile;
class QTranslator;

// Qt's own texts (the Yes and No of a question, Cancel, the file dialog, the context menus of text
// boxes) in the language of the program's texts: the language database names its language in
// strLocale, and translations/qtbase_<strLocale>.qm of the program folder is installed. Without
// that row (an older database) or that file, Qt speaks English.
class QtLanguage {
public:
    QtLanguage();
    ~QtLanguage();
    QtLanguage(const QtLanguage&) = delete;
    QtLanguage& operator=(const QtLanguage&) = delete;

    // Takes the language of the database now in force; the previous translation is removed.
    void follow(const QString& programFolder, const QString& languageDatabase);

    // The language installed ("de", "en"), or empty for Qt's English.
    QString installed() const { return m_installed; }

private:
    // The translation file, opened only as a regular file and mapped: the translator reads its
    // texts from the mapping for as long as it is installed.
    std::unique_ptr<QFile> m_file;
    std::unique_ptr<QTranslator> m_translator;
    QString m_installed;
};
