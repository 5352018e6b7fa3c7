#include "TestProgramFolder.h"

#include "Files.h"

#include <QFile>

#include <sqlite3.h>

TestProgramFolder::TestProgramFolder() : m_dir(std::make_unique<QTemporaryDir>()) {
    m_context.programFolder = m_dir->path() + QLatin1Char('/');
    m_context.dialogs = &m_dialogs;
    m_context.random = &m_random;
    // Without the executable, which no test starts from here (tens of megabytes in a build with
    // the sanitizers, copied for every test).
    m_ok = m_dir->isValid() && testfiles::copyTree(QStringLiteral(MEROVAN_STAGED_FOLDER), m_dir->path(),
                                                   {QStringLiteral("merovan"), QStringLiteral("merovan.exe")});
    // Tests start from a configured installation; first-start tests write 1 themselves.
    write(QStringLiteral("strt.cfg"), QByteArray(" 0 \r\n"));
    write(QStringLiteral("options.cfg"), QByteArray("\r\n"));
    QFile::copy(file(QStringLiteral("Data/languages/german.crf")), file(QStringLiteral("Data/language.crf.new")));
    QFile::remove(file(QStringLiteral("Data/language.crf")));
    QFile::rename(file(QStringLiteral("Data/language.crf.new")), file(QStringLiteral("Data/language.crf")));
}

void TestProgramFolder::write(const QString& relative, const QByteArray& content) const {
    testfiles::writeFile(file(relative), content);
}

QByteArray TestProgramFolder::read(const QString& relative) const {
    return testfiles::readFile(file(relative));
}

void TestProgramFolder::remove(const QString& relative) const {
    QFile::remove(file(relative));
}

bool runSql(const QString& path, const char* sql) {
    sqlite3* db = nullptr;
    char* error = nullptr;
    const bool ok = sqlite3_open(QFile::encodeName(path).constData(), &db) == SQLITE_OK &&
                    sqlite3_exec(db, sql, nullptr, nullptr, &error) == SQLITE_OK;
    if (error)
        qWarning("%s", error);
    sqlite3_free(error);
    sqlite3_close(db);
    return ok;
}
