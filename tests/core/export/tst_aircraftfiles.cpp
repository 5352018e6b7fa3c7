#include "support/AsUser.h"
#include "support/ExportFixture.h"

#include "core/export/AircraftFiles.h"

#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace exporttest;
using aircraftfiles::ListingProblem;

class TestAircraftFiles : public QObject {
    Q_OBJECT
private slots:
    void folderNameRule_data();
    void folderNameRule();
    void titleOf_data();
    void titleOf();
    void modelOfTheTitle_data();
    void modelOfTheTitle();
    void findEntryIgnoresLetterCase();
    void listsCopiesInNameOrder();
    void listingFindsFoldersInAnyLetterCase();
    void missingAircraftFolderIsReported();
    void notAFileIsNamedAndSkipped_data();
    void notAFileIsNamedAndSkipped();
    void unreadableIsNeverMissing_data();
    void unreadableIsNeverMissing();
};

void TestAircraftFiles::folderNameRule_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("qualifies");
    QTest::newRow("exact") << "nerova_tq58" << true;
    QTest::newRow("capitals") << "NEROVA_TQ58" << true;
    QTest::newRow("mixed case") << "Nerova_Tq58" << true;
    QTest::newRow("continued name") << "nerova_tq58_float" << true;
    QTest::newRow("continued in capitals") << "NEROVA_TQ58 (2)" << true;
    QTest::newRow("too short") << "nerova_tq5" << false;
    QTest::newRow("prefix not at the start") << "my_nerova_tq58" << false;
    QTest::newRow("blank before the prefix") << " nerova_tq58" << false;
    QTest::newRow("another aircraft") << "velmora_kestrel" << false;
    QTest::newRow("empty") << "" << false;
}

void TestAircraftFiles::folderNameRule() {
    QFETCH(QString, name);
    QFETCH(bool, qualifies);
    QCOMPARE(aircraftfiles::isTq58FolderName(name), qualifies);
}

void TestAircraftFiles::titleOf_data() {
    QTest::addColumn<QByteArray>("content"); // null: no aircraft.cfg
    QTest::addColumn<QString>("title");
    QTest::newRow("title line") << QByteArray("[fltsim.0]\r\ntitle=Nerova TQ 58\r\nsim=TQ58\r\n") << "Nerova TQ 58";
    QTest::newRow("a comma ends the title") << QByteArray("title=Nerova TQ 58, floats\r\n") << "Nerova TQ 58";
    QTest::newRow("blank before the equals sign: not a title") << QByteArray("title =Nerova\r\n") << "";
    QTest::newRow("blank before the equals sign, then a title")
        << QByteArray("title =Nerova\r\ntitle=Second\r\n") << "Second";
    QTest::newRow("several title lines: the first one")
        << QByteArray("[fltsim.0]\r\ntitle=First\r\n[fltsim.1]\r\ntitle=Second\r\n") << "First";
    QTest::newRow("first title empty: still the first") << QByteArray("title=\r\ntitle=Second\r\n") << "";
    QTest::newRow("key in capitals") << QByteArray("TITLE=Capitals\r\n") << "Capitals";
    QTest::newRow("blanks before the key are skipped") << QByteArray("   title=Indented\r\n") << "Indented";
    QTest::newRow("quoted field keeps its comma")
        << QByteArray("\"title=Quoted, with comma\"\r\n") << "Quoted, with comma";
    QTest::newRow("title as a later field of a line") << QByteArray("sim=x, title=Later\r\n") << "Later";
    QTest::newRow("blanks at the end stay") << QByteArray("title=Trailing  \r\n") << "Trailing  ";
    QTest::newRow("LF line ends") << QByteArray("sim=x\ntitle=Unix\n") << "Unix";
    QTest::newRow("last line without line end") << QByteArray("sim=x\r\ntitle=Last") << "Last";
    QTest::newRow("no title") << QByteArray("[General]\r\neditable=1\r\n") << "";
    QTest::newRow("empty file") << QByteArray("") << "";
    QTest::newRow("no file") << QByteArray() << "";
    QTest::newRow("Windows code page") << QByteArray("title=Fl\xe4") + "che\r\n" << QString::fromUtf8("Fläche");
    QTest::newRow("UTF-8") << QByteArray("title=Fl\xc3\xa4") + "che\r\n" << QString::fromUtf8("Fläche");
    // The Western code page beyond Latin-1 (0x80 to 0x9F), by our own table on every platform.
    QTest::newRow("code page 1252: a whole title")
        << QByteArray("title=\x8a") + "koda \x96 \x84Gr\xfcn\x93 \x80" + "99 \x99 \x9c \x8e\r\n"
        << QString::fromUtf8("Škoda – „Grün“ €99 ™ œ Ž");
    QTest::newRow("code page 1252: dashes, quotes, ellipsis, dagger, per mille")
        << QByteArray("title=\x97\x91\x92\x85\x86\x89\x9f\r\n") << QString::fromUtf8("—‘’…†‰Ÿ");
    QTest::newRow("code page 1252: the undefined bytes give U+FFFD, never control characters")
        << QByteArray("title=a\x81"
                      "b\x8d\x8f\x90\x9d"
                      "c\r\n")
        << QString::fromUtf8("a\uFFFDb\uFFFD\uFFFD\uFFFD\uFFFDc");
}

void TestAircraftFiles::modelOfTheTitle_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("model"); // the folder Model.<model> the title shows; empty: Model
    QTest::newRow("model= empty: the Model folder") << QByteArray("[fltsim.0]\r\ntitle=A\r\nmodel=\r\n") << "";
    QTest::newRow("model=float, blanks and a comment around it")
        << QByteArray("[fltsim.0]\r\ntitle=A\r\nModel =  float // on floats\r\n") << "float";
    QTest::newRow("the first title's entry counts, not a later one's")
        << QByteArray("[fltsim.0]\r\ntitle=A\r\nmodel=\r\n[fltsim.1]\r\ntitle=B\r\nmodel=float\r\n") << "";
    QTest::newRow("the model line before the title in its entry")
        << QByteArray("[fltsim.0]\nmodel=float\ntitle=A\n[General]\nmodel=x\n") << "float";
    QTest::newRow("atc_model is no model") << QByteArray("[fltsim.0]\r\ntitle=A\r\natc_model=TQ58\r\n") << "";
    QTest::newRow("a model of another section is not the title's")
        << QByteArray("[fltsim.0]\r\ntitle=A\r\n[General]\r\nmodel=float\r\n") << "";
    QTest::newRow("no title") << QByteArray("[fltsim.0]\r\nmodel=float\r\n") << "";
    QTest::newRow("lines ended by a lone CR")
        << QByteArray("[fltsim.0]\rtitle=A\rmodel=float\r[General]\rmodel=x\r") << "float";
    QTest::newRow("the model on the last line, without a line end")
        << QByteArray("[fltsim.0]\r\ntitle=A\r\nmodel=float") << "float";
    QTest::newRow("the title's entry after an empty line and another entry")
        << QByteArray("[fltsim.0]\r\nsim=x\r\n\r\n\n[fltsim.1]\r\nmodel=float\r\ntitle=B\r\n") << "float";
}

void TestAircraftFiles::modelOfTheTitle() {
    QFETCH(QByteArray, content);
    QFETCH(QString, model);
    QCOMPARE(aircraftfiles::modelOf(content), model);
}

void TestAircraftFiles::titleOf() {
    QFETCH(QByteArray, content);
    QFETCH(QString, title);
    QCOMPARE(aircraftfiles::titleOf(content), title);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("aircraft.cfg"));
    QVERIFY(content.isNull() || writeFile(path, content));
    QCOMPARE(aircraftfiles::GetTitle(path), title);
}

void TestAircraftFiles::findEntryIgnoresLetterCase() {
    QTemporaryDir dir;
    const QString root = dir.path() + QLatin1Char('/');
    QVERIFY(writeFile(root + QStringLiteral("MODEL/tq58-161.MDL"), "x"));
    QCOMPARE(aircraftfiles::findEntry(root, QStringLiteral("Model")), root + QStringLiteral("MODEL"));
    QCOMPARE(aircraftfiles::findEntry(root + QStringLiteral("MODEL"), QStringLiteral("TQ58-161.mdl")),
             root + QStringLiteral("MODEL/tq58-161.MDL"));
    QCOMPARE(aircraftfiles::findEntry(root, QStringLiteral("Aircraft")), QString());
#ifndef Q_OS_WIN
    // Where both spellings exist, the exact one is taken.
    QVERIFY(writeFile(root + QStringLiteral("Model/TQ58-161.mdl"), "y"));
    QCOMPARE(aircraftfiles::findEntry(root, QStringLiteral("Model")), root + QStringLiteral("Model"));
#endif
}

void TestAircraftFiles::listsCopiesInNameOrder() {
    TestProgramFolder pf;
    Fs2000 fs(pf);
    fs.addCopy(QStringLiteral("NEROVA_TQ58_float"), "title=Float\r\n");
    fs.addCopy(QStringLiteral("nerova_tq58"), "title=Wheels\r\n");
    fs.addCopy(QStringLiteral("Nerova_TQ58-2"), "title=Second\r\n", kInstalledModel, QStringLiteral("AIRCRAFT.CFG"));
    fs.addCopy(QStringLiteral("nerova_tq5"), "title=Too short\r\n");
    fs.addCopy(QStringLiteral("my_nerova_tq58"), "title=Elsewhere\r\n");
    fs.addCopy(QStringLiteral("velmora_kestrel"), "title=Kestrel\r\n");
    QVERIFY(QDir().mkpath(fs.aircraft() + QStringLiteral("nerova_tq58_nocfg/Model")));
    QVERIFY(writeFile(fs.aircraft() + QStringLiteral("nerova_tq58.txt"), "title=A file, not a folder\r\n"));

    const auto listing = aircraftfiles::listAircraftCopies(fs.root());
    QStringList titles;
    QStringList paths;
    for (const auto& copy : listing.copies) {
        titles << copy.title;
        paths << copy.cfgPath;
    }
    QCOMPARE(titles, (QStringList{"Wheels", "Second", "Float"}));
    QCOMPARE(paths, (QStringList{fs.cfg(QStringLiteral("nerova_tq58")),
                                 fs.aircraft() + QStringLiteral("Nerova_TQ58-2/AIRCRAFT.CFG"),
                                 fs.cfg(QStringLiteral("NEROVA_TQ58_float"))}));
    QCOMPARE(listing.problems.size(), 1);
    QCOMPARE(listing.problems[0].kind, ListingProblem::Kind::NoAircraftCfg);
    QCOMPARE(listing.problems[0].path, fs.aircraft() + QStringLiteral("nerova_tq58_nocfg"));
}

void TestAircraftFiles::listingFindsFoldersInAnyLetterCase() {
    QTemporaryDir dir;
    const QString fs2000 = dir.path(); // no trailing separator either
    QVERIFY(writeFile(fs2000 + QStringLiteral("/AIRCRAFT/nerova_tq58/Aircraft.Cfg"), "title=Wine\r\n"));
    const auto listing = aircraftfiles::listAircraftCopies(fs2000);
    QCOMPARE(listing.problems.size(), 0);
    QCOMPARE(listing.copies.size(), 1);
    QCOMPARE(listing.copies[0].title, QStringLiteral("Wine"));
    QCOMPARE(listing.copies[0].cfgPath, fs2000 + QStringLiteral("/AIRCRAFT/nerova_tq58/Aircraft.Cfg"));
}

void TestAircraftFiles::missingAircraftFolderIsReported() {
    QTemporaryDir dir;
    const QString fs2000 = dir.path() + QLatin1Char('/');
    const auto listing = aircraftfiles::listAircraftCopies(fs2000);
    QVERIFY(listing.copies.isEmpty());
    QCOMPARE(listing.problems.size(), 1);
    QCOMPARE(listing.problems[0].kind, ListingProblem::Kind::NoAircraftFolder);
    QCOMPARE(listing.problems[0].path, fs2000 + QStringLiteral("Aircraft"));

    // A file of that name is no folder either.
    QVERIFY(writeFile(fs2000 + QStringLiteral("Aircraft"), "x"));
    QCOMPARE(aircraftfiles::listAircraftCopies(fs2000).problems.size(), 1);
}

void TestAircraftFiles::notAFileIsNamedAndSkipped_data() {
    QTest::addColumn<QString>("odd");    // what is not a file, relative to the odd copy's folder
    QTest::addColumn<bool>("pipe");      // a named pipe there; else a folder
    QTest::addColumn<bool>("oddListed"); // the odd copy is listed all the same
    QTest::newRow("aircraft.cfg is a folder: named, not listed") << "aircraft.cfg" << false << false;
    QTest::newRow("aircraft.cfg is a named pipe: never opened, the list opens") << "aircraft.cfg" << true << false;
    QTest::newRow("a pipe at the backup's place: named, the copy still listed")
        << "merovan-installed/aircraft.cfg.installed" << true << true;
    QTest::newRow("a pipe at the copy's model: named, the copy still listed") << "Model/TQ58-161.mdl" << true << true;
    QTest::newRow("a folder at the copy's model: named, the copy still listed")
        << "Model/TQ58-161.mdl" << false << true;
}

void TestAircraftFiles::notAFileIsNamedAndSkipped() {
    QFETCH(QString, odd);
    QFETCH(bool, pipe);
    QFETCH(bool, oddListed);
    QTemporaryDir dir;
    const QString aircraft = dir.path() + QStringLiteral("/Aircraft/");
    const QString oddPath = aircraft + QStringLiteral("nerova_tq58_a/") + odd;
    QVERIFY(QDir().mkpath(QFileInfo(oddPath).path()));
    if (odd != QLatin1String("aircraft.cfg"))
        QVERIFY(writeFile(aircraft + QStringLiteral("nerova_tq58_a/aircraft.cfg"), "title=Odd\r\n"));
    if (pipe) {
#ifdef Q_OS_UNIX
        QVERIFY(::mkfifo(QFile::encodeName(oddPath).constData(), 0644) == 0);
#else
        QSKIP("no pipes in the file system here");
#endif
    } else {
        QVERIFY(QDir().mkpath(oddPath));
    }
    QVERIFY(writeFile(aircraft + QStringLiteral("nerova_tq58_b/aircraft.cfg"), "title=Fine\r\n"));
    const auto listing = aircraftfiles::listAircraftCopies(dir.path());
    QCOMPARE(listing.copies.size(), oddListed ? 2 : 1);
    QCOMPARE(listing.copies.last().title, QStringLiteral("Fine"));
    QCOMPARE(listing.problems.size(), 1);
    QCOMPARE(listing.problems[0].kind, ListingProblem::Kind::NotAFile);
    QCOMPARE(listing.problems[0].path, oddPath);
}

void TestAircraftFiles::unreadableIsNeverMissing_data() {
    QTest::addColumn<QString>("shut"); // relative to the FS2000 folder
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("path"); // reported, relative to the FS2000 folder
    QTest::newRow("Aircraft folder that cannot be listed")
        << "Aircraft" << 0300 << int(ListingProblem::Kind::AircraftFolderUnreadable) << "Aircraft";
    QTest::newRow("FS2000 folder that cannot be entered")
        << "." << 0600 << int(ListingProblem::Kind::AircraftFolderUnreadable) << "Aircraft";
    QTest::newRow("copy folder that cannot be listed, AIRCRAFT.CFG in capitals")
        << "Aircraft/nerova_tq58_caps" << 0300 << int(ListingProblem::Kind::CopyFolderUnreadable)
        << "Aircraft/nerova_tq58_caps";
    QTest::newRow("aircraft.cfg without read permission")
        << "Aircraft/nerova_tq58/aircraft.cfg" << 0200 << int(ListingProblem::Kind::CfgUnreadable)
        << "Aircraft/nerova_tq58/aircraft.cfg";
}

void TestAircraftFiles::unreadableIsNeverMissing() {
#ifndef Q_OS_UNIX
    QSKIP("permission bits are tested on Unix only");
#else
    QFETCH(QString, shut);
    QFETCH(int, mode);
    QFETCH(int, kind);
    QFETCH(QString, path);
    MEROVAN_RUN_UNPRIVILEGED();
    QTemporaryDir dir;
    const QString fs2000 = dir.path() + QStringLiteral("/FS2000/");
    QVERIFY(writeFile(fs2000 + QStringLiteral("Aircraft/nerova_tq58/aircraft.cfg"), "title=Wheels\r\n"));
    QVERIFY(writeFile(fs2000 + QStringLiteral("Aircraft/nerova_tq58_caps/AIRCRAFT.CFG"), "title=Caps\r\n"));
    const QString shutPath = QDir::cleanPath(fs2000 + shut);
    const QFileDevice::Permissions open = QFileInfo(shutPath).permissions();
    QVERIFY(QFile::setPermissions(shutPath, QFileDevice::Permissions()));
    QVERIFY(::chmod(QFile::encodeName(shutPath).constData(), mode_t(mode)) == 0);
    const auto listing = aircraftfiles::listAircraftCopies(fs2000);
    QVERIFY(QFile::setPermissions(shutPath, open));
    QCOMPARE(listing.problems.size(), 1);
    QCOMPARE(int(listing.problems[0].kind), kind);
    QCOMPARE(listing.problems[0].path, fs2000 + path);
    QVERIFY(!listing.problems[0].reason.isEmpty());
#endif
}

QTEST_GUILESS_MAIN(TestAircraftFiles)
#include "tst_aircraftfiles.moc"
