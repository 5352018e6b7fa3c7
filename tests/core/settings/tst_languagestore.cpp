#include "core/settings/LanguageStore.h"
#include "support/Files.h"
#include "support/TestProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

namespace {

const char* const kGerman = "CREATE TABLE Entry (Variable TEXT, Wert TEXT);"
                            "INSERT INTO Entry VALUES ('lblPlatzFrei', 'Platz frei');"
                            "INSERT INTO Entry VALUES ('lblGepäck', 'Gepäck');"
                            "INSERT INTO Entry VALUES ('twice', 'first');"
                            "INSERT INTO Entry VALUES ('twice', 'second');"
                            "INSERT INTO Entry VALUES ('empty', '');"
                            "INSERT INTO Entry VALUES ('nothing', NULL);"
                            "INSERT INTO Entry VALUES ('number', 42);";

// A German language.crf in a folder of its own.
struct GermanDatabase {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("language.crf"));
    const bool made = runSql(path, kGerman);
};

#ifdef Q_OS_WIN
int openFileDescriptors() {
    DWORD handles = 0;
    ::GetProcessHandleCount(::GetCurrentProcess(), &handles);
    return int(handles);
}
#else
int openFileDescriptors() {
    return int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size());
}
#endif

} // namespace

class TestLanguageStore : public QObject {
    Q_OBJECT
private slots:
    void findsTheTextOfAKey_data();
    void findsTheTextOfAKey();
    void opensWhateverTheProgramFolderIsCalled_data();
    void opensWhateverTheProgramFolderIsCalled();
    void failures_data();
    void failures();
    void fileReplacedBetweenLookups();
    void noHandleLeftOpen();
    void shippedDatabasesHaveEveryKey();
};

void TestLanguageStore::findsTheTextOfAKey_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");
    QTest::newRow("present") << "lblPlatzFrei"
                             << "Platz frei";
    QTest::newRow("letter case ignored") << "LBLPLATZFREI"
                                         << "Platz frei";
    QTest::newRow("umlaut key") << QString::fromUtf8("lblGepäck") << QString::fromUtf8("Gepäck");
    QTest::newRow("umlaut key in capitals") << QString::fromUtf8("LBLGEPÄCK") << QString::fromUtf8("Gepäck");
    QTest::newRow("absent key gives empty text") << "strNowhere"
                                                 << "";
    QTest::newRow("two rows give the first") << "twice"
                                             << "first";
    QTest::newRow("empty text") << "empty"
                                << "";
    QTest::newRow("number as text") << "number"
                                    << "42";
    // The key is never pasted into the query.
    QTest::newRow("a key that would widen a pasted query") << "x' OR '1'='1"
                                                           << "";
    QTest::newRow("a key with a quote") << "it's"
                                        << "";
}

void TestLanguageStore::findsTheTextOfAKey() {
    QFETCH(QString, key);
    QFETCH(QString, expected);
    const GermanDatabase german;
    const QString first = GetLanguageText(german.path, key);
    QCOMPARE(first, expected);
    QVERIFY(!first.isNull() || expected.isEmpty());
    QCOMPARE(GetLanguageText(german.path, key), first);
}

void TestLanguageStore::opensWhateverTheProgramFolderIsCalled_data() {
    // Windows before 10 1903 hands file names to the program in the local code page (1252 in
    // western Europe), in which "ł" cannot be written at all and "ü" is not what SQLite reads.
    QTest::addColumn<QString>("folder");
    QTest::newRow("a program folder under C:\\Users\\Jürgen") << QString::fromUtf8("Users/Jürgen/Merovan");
    QTest::newRow("letters outside the Western code page") << QString::fromUtf8("Gry łč/Merovan");
    QTest::newRow("a program folder beyond 260 characters") << testfiles::longFolderPath(300);
#ifdef Q_OS_WIN
    // Beyond SQLite's own limit of its default file calls on Windows. (On Unix, its file calls
    // take 512 bytes at most.)
    QTest::newRow("a program folder beyond 1,000 characters") << testfiles::longFolderPath(1100);
#endif
}

void TestLanguageStore::opensWhateverTheProgramFolderIsCalled() {
    QFETCH(QString, folder);
    const GermanDatabase german;
    QVERIFY(german.made);
    const QString data = german.dir.filePath(folder + QStringLiteral("/Data"));
    QVERIFY(QDir().mkpath(data));
    const QString path = data + QStringLiteral("/language.crf");
    QVERIFY(QFile::copy(german.path, path));
    QCOMPARE(tryLanguageText(path, QString::fromUtf8("lblGepäck")).value_or(QStringLiteral("(not opened)")),
             QString::fromUtf8("Gepäck"));
}

void TestLanguageStore::failures_data() {
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("key");
    QTest::newRow("missing file") << "missing"
                                  << "lblPlatzFrei";
    QTest::newRow("not a database") << "garbage"
                                    << "lblPlatzFrei";
    QTest::newRow("empty file") << "emptyfile"
                                << "lblPlatzFrei";
    QTest::newRow("table missing") << "notable"
                                   << "lblPlatzFrei";
    QTest::newRow("column missing") << "nocolumn"
                                    << "lblPlatzFrei";
    QTest::newRow("null text") << "ok"
                               << "nothing";
    QTest::newRow("a folder") << "folder"
                              << "lblPlatzFrei";
}

void TestLanguageStore::failures() {
    QFETCH(QString, what);
    QFETCH(QString, key);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("language.crf"));
    if (what == QLatin1String("garbage") || what == QLatin1String("emptyfile")) {
        QVERIFY(testfiles::writeFile(path, what == QLatin1String("garbage") ? QByteArray(4096, 'Z') : QByteArray()));
    } else if (what == QLatin1String("notable")) {
        QVERIFY(runSql(path, "CREATE TABLE Other (a TEXT);"));
    } else if (what == QLatin1String("nocolumn")) {
        QVERIFY(runSql(path, "CREATE TABLE Entry (Variable TEXT, Text TEXT);"));
    } else if (what == QLatin1String("ok")) {
        QVERIFY(runSql(path, kGerman));
    } else if (what == QLatin1String("folder")) {
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("language.crf")));
    }
    const bool existed = QFileInfo::exists(path);
    QVERIFY_THROWS_EXCEPTION(LanguageError, GetLanguageText(path, key));
    QVERIFY(!tryLanguageText(path, key).has_value());
    QCOMPARE(QFileInfo::exists(path), existed); // a missing file is never created
}

void TestLanguageStore::fileReplacedBetweenLookups() {
    const GermanDatabase german;
    QCOMPARE(GetLanguageText(german.path, QStringLiteral("lblPlatzFrei")), QStringLiteral("Platz frei"));
    const QString english = german.dir.filePath(QStringLiteral("english.crf"));
    QVERIFY(runSql(english, "CREATE TABLE Entry (Variable TEXT, Wert TEXT);"
                            "INSERT INTO Entry VALUES ('lblPlatzFrei', 'Seat free');"));
    QVERIFY(QFile::remove(german.path));
    QVERIFY(QFile::copy(english, german.path));
    QCOMPARE(GetLanguageText(german.path, QStringLiteral("lblPlatzFrei")), QStringLiteral("Seat free"));
}

void TestLanguageStore::noHandleLeftOpen() {
    const GermanDatabase german;
    const int before = openFileDescriptors();
    for (int i = 0; i < 50; ++i) {
        GetLanguageText(german.path, QStringLiteral("lblPlatzFrei"));
        tryLanguageText(german.path + QStringLiteral(".missing"), QStringLiteral("x"));
    }
    QCOMPARE(openFileDescriptors(), before);
}

void TestLanguageStore::shippedDatabasesHaveEveryKey() {
    const char* const keys[] = {"mnuDatei",          "mnuDateiBeenden",
                                "mnuExport",         "mnuExportBeladung",
                                "mnuExtras",         "mnuExtrasOptionen",
                                "lblGepäck",         "lblPersonengewicht",
                                "lblPlatzBesetzt",   "lblPlatzFrei",
                                "strGesamt",         "cmdSchliessen",
                                "cmdRandomBeladung", "cmdSpeichern",
                                "tipSpeichern",      "boxWeight",
                                "boxWeightCaption",  "strUnder45",
                                "strOverMTOW",       "strNoFuel",
                                "strOnlyFuel_1",     "strOnlyFuel_2",
                                "frmExportCaption",  "frmExportLabel",
                                "cmdAbbrechen",      "cmdOK",
                                "strWritten",        "strFinished",
                                "lblFS2000Path",     "strLanguage",
                                "strBrowse",         "strWeightRange"};
    for (const char* language : {"german", "english"}) {
        const QString db = QStringLiteral(MEROVAN_STAGED_FOLDER "/Data/languages/%1.crf").arg(QLatin1String(language));
        for (const char* key : keys)
            QVERIFY2(!GetLanguageText(db, QString::fromUtf8(key)).isEmpty(), key);
    }
    const QString german = QStringLiteral(MEROVAN_STAGED_FOLDER "/Data/languages/german.crf");
    QCOMPARE(GetLanguageText(german, QString::fromUtf8("lblGepäck")), QString::fromUtf8("Gepäck"));
}

QTEST_GUILESS_MAIN(TestLanguageStore)
#include "tst_languagestore.moc"
