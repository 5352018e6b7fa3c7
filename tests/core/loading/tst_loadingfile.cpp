// Loadings kept as files, without a window: every field through a real file and back, files
// written or spoilt by hand, and the list of the loadings used last.

#include "core/loading/LoadingFile.h"
#include "core/loading/RecentLoadings.h"
#include "support/Files.h"
#include "support/Loadings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <functional>

namespace {

// A file as the program writes it (without its comment line), with the line of a key replaced:
// "copilot=x" replaces line 3; a change without a known key is added as line 8.
QByteArray fileWith(const QByteArrayList& changes = {}) {
    QByteArrayList lines{"Merovan TQ 58 loading 1", "pilot=80",   "copilot=75",  "passenger_left=",
                         "passenger_right=60",      "baggage=12", "note=Hamburg"};
    for (const QByteArray& change : changes) {
        const QByteArray key = change.left(change.indexOf('=') + 1);
        auto found = std::find_if(lines.begin() + 1, lines.end(),
                                  [&key](const QByteArray& l) { return !key.isEmpty() && l.startsWith(key); });
        if (found != lines.end())
            *found = change;
        else
            lines << change;
    }
    return lines.join("\r\n") + "\r\n";
}

QString root() {
    return QDir::cleanPath(QDir::tempPath()) + QStringLiteral("/r");
}

} // namespace

class TestLoadingFile : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void read_data();
    void read();
    void savedName_data();
    void savedName();
    void saveRefusedBeforeAsking_data();
    void saveRefusedBeforeAsking();
    void recentList();
    void recentFileDamaged_data();
    void recentFileDamaged();
    void commandLine();
};

void TestLoadingFile::roundTrip_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<LoadingModel>("loading");
    QTest::addColumn<QString>("note");
    QTest::newRow("the start loading, no note") << "Start" << LoadingModel() << QString();
    QTest::newRow("every seat, umlauts") << QString::fromUtf8("Hamburg mit Jürgen") << loadingOf(81, 75, 64, 59, 12)
                                         << QString::fromUtf8("Jürgen, Änne und Öztürk nach Großenbrode");
    QTest::newRow("passengers without a co-pilot, commas and quotes")
        << QStringLiteral("Anna, 'Ben'") << loadingOf(90, 0, 70, 71, 0)
        << QStringLiteral("\"Anna\", 'Ben' = 2 # no comment \\ 100%");
    QTest::newRow("the largest weights, the fullest baggage")
        << QStringLiteral("schwer") << loadingOf(8012, 8012, 8012, 8012, 23) << QStringLiteral("=");
    QTest::newRow("the lightest pilot, negative weights")
        << QStringLiteral("leicht") << loadingOf(40, -8012, -20, 0, 1) << QString::fromUtf8("€ ł 日本 😀");
    // The start loading takes 173 bytes with an empty note: this one makes 65,536 bytes in UTF-8.
    QTest::newRow("a note that fills the file to its largest size")
        << QStringLiteral("voll") << LoadingModel() << QString(32681, QChar(0xE9)) + QLatin1Char('x');
    QTest::newRow("in folders beyond 260 characters") << testfiles::longFolderPath(260) + QStringLiteral("/Flug")
                                                      << loadingOf(81, 75, 64, 59, 12) << QStringLiteral("Hamburg");
#ifndef Q_OS_WIN
    QTest::newRow("a name with double quotes") << QStringLiteral("Der \"Chef\"") << LoadingModel() << QString();
#endif
}

void TestLoadingFile::roundTrip() {
    QFETCH(QString, name);
    QFETCH(LoadingModel, loading);
    QFETCH(QString, note);
    QTemporaryDir dir(QDir::tempPath() + QString::fromUtf8("/Beladungen ä, XXXXXX"));
    const QString path = loadingfile::withExtension(dir.filePath(name));
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QVERIFY(!loadingfile::save(path, {loading, note}));
    const loadingfile::Opened opened = loadingfile::open(path);
    QVERIFY(opened.contents.has_value());
    QVERIFY(opened.contents->loading == loading);
    QCOMPARE(opened.contents->note, note);
    // No temporary file is left beside it.
    QCOMPARE(QFileInfo(path).dir().entryList(QDir::Files | QDir::Hidden), QStringList{QFileInfo(path).fileName()});
}

void TestLoadingFile::read_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<LoadingModel>("loading"); // when taken
    QTest::addColumn<QStringList>("fault");    // when refused: key, then details
    const LoadingModel usual = loadingOf(80, 75, 0, 60, 12);
    auto taken = [&](const char* name, const QByteArray& bytes, const LoadingModel& loading) {
        QTest::newRow(name) << bytes << loading << QStringList{};
    };
    auto refused = [](const char* name, const QByteArray& bytes, const QStringList& fault) {
        QTest::newRow(name) << bytes << LoadingModel() << fault;
    };
    taken("LF or CR line ends, a byte-order mark, no last line end",
          "\xEF\xBB\xBF" + fileWith().replace("\r\n", "\n").replace("copilot=75\n", "copilot=75\r").chopped(1), usual);
    taken("capitals, blanks, kg, comments, unknown keys",
          "  merovan tq 58 LOADING 1 \n# mine\n\n PILOT = 80 kg\nCoPilot\t=\t75kg\nfuel=120\nfuel=1\n"
          "passenger_left =\npassenger_right= 60 KG \nBaggage=12\n",
          usual);
    taken("a passenger below zero, leading zeros", fileWith({"passenger_left=-20", "baggage=012"}),
          loadingOf(80, 75, -20, 60, 12));
    const QStringList notLoading{"strLoadingFileNotLoading", "Merovan TQ 58 loading 1"};
    refused("an empty file", "", notLoading);
    refused("a comment before the first line", "# mine\r\n" + fileWith(), notLoading);
    refused("a later version", fileWith().replace("loading 1", "loading 2"), {"strLoadingFileNewer", "2"});
    refused("saved as UTF-16", QByteArray("\xFF\xFEM\0e\0r\0", 8), {"strLoadingFileNotText"});
    refused("a line without =", fileWith({"copilot 75"}), {"strLoadingFileNotKeyValue", "8", "copilot 75"});
    refused("a key twice", fileWith({"PILOT = 90"}), {"strLoadingFileTwice", "8", "PILOT = 90", "pilot"});
    refused("a seat missing", fileWith().replace("copilot=75\r\n", ""), {"strLoadingFileMissing", "copilot"});
    refused("a pilot of 39 kg", fileWith({"pilot=39"}), {"strLoadingFilePilotUnder", "2", "pilot=39", "40"});
    refused("no pilot", fileWith({"pilot="}), {"strLoadingFilePilotFree", "2", "pilot="});
    refused("a person of 0 kg", fileWith({"copilot=0"}), {"strLoadingFileNoWeight", "3", "copilot=0"});
    refused("a half kilogram", fileWith({"copilot=72.5"}), {"strLoadingFileNotWhole", "3", "copilot=72.5"});
    refused("an Arabic-Indic digit", fileWith({"copilot=\xD9\xA3"}),
            {"strLoadingFileNotWhole", "3", QString::fromUtf8("copilot=٣")});
    refused("-8013 kg", fileWith({"passenger_left=-8013"}),
            {"strLoadingFileBeyondLimit", "4", "passenger_left=-8013", "8012"});
    refused("more digits than any number, shortened", fileWith({"copilot=" + QByteArray(40, '9')}),
            {"strLoadingFileBeyondLimit", "3", "copilot=" + QString(32, u'9') + QChar(0x2026), "8012"});
    refused("24 kg of baggage", fileWith({"baggage=24"}), {"strLoadingFileBaggageRange", "6", "baggage=24", "23"});
    refused("the first of two faults", fileWith({"copilot=x", "baggage="}),
            {"strLoadingFileNotWhole", "3", "copilot=x"});
}

void TestLoadingFile::read() {
    QFETCH(QByteArray, bytes);
    QFETCH(LoadingModel, loading);
    QFETCH(QStringList, fault);
    const loadingfile::Parsed parsed = loadingfile::parse(bytes);
    QCOMPARE(QStringList(parsed.fault.key) + parsed.fault.details, fault.isEmpty() ? QStringList{""} : fault);
    QCOMPARE(parsed.contents.has_value(), fault.isEmpty());
    if (parsed.contents)
        QVERIFY(parsed.contents->loading == loading);
}

void TestLoadingFile::savedName_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("saved");
    QTest::newRow("no suffix: the loading's added") << "/l/trip"
                                                    << "/l/trip.tqload";
    QTest::newRow("a suffix of its own kept") << "/l/trip.txt"
                                              << "/l/trip.txt";
    QTest::newRow("a last dot alone: the loading's after it") << "/l/trip."
                                                              << "/l/trip.tqload";
    QTest::newRow("a dot in the folder is no suffix") << "/l/Flüge.2024/trip"
                                                      << "/l/Flüge.2024/trip.tqload";
}

void TestLoadingFile::savedName() {
    QFETCH(QString, typed);
    QFETCH(QString, saved);
    QCOMPARE(loadingfile::withExtension(typed), saved);
}

namespace {

// Where a loading is to be saved: the folder `dir` (which stands for the program folder too),
// prepared by a row before the loading is saved as `path`.
using SavePlace = std::function<void(const QString& dir, const QString& path)>;

void aFile(const QString&, const QString& path) {
    QVERIFY(!loadingfile::save(path, {}));
}

} // namespace
Q_DECLARE_METATYPE(SavePlace)

void TestLoadingFile::saveRefusedBeforeAsking_data() {
    QTest::addColumn<SavePlace>("place");
    QTest::addColumn<QString>("note");
    QTest::addColumn<QString>("refusal"); // its parts, <file> for the file; empty: asked about
    const SavePlace nothing = [](const QString&, const QString&) {};
    QTest::newRow("a file: asked about") << SavePlace(aFile) << QString() << QString();
    QTest::newRow("a folder of that name")
        << SavePlace([](const QString&, const QString& path) { QVERIFY(QDir().mkpath(path)); }) << QString()
        << "strLoadingFileNotSaved(<file>, it is a folder, not a file)";
    QTest::newRow("a read-only file") << SavePlace([](const QString& dir, const QString& path) {
        aFile(dir, path);
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    }) << QString() << "strLoadingFileNotSaved(<file>, the file is read-only)";
#ifdef Q_OS_UNIX
    // Windows ignores a folder's read-only attribute; here it holds for an administrator too.
    QTest::newRow("a folder without write permission") << SavePlace([](const QString& dir, const QString&) {
        QVERIFY(QFile::setPermissions(dir, QFile::ReadOwner | QFile::ExeOwner));
    }) << QString() << "strLoadingFileNotSaved(<file>, " + QString::fromLocal8Bit(strerror(EACCES)) + ")";
    // The program's own files are never written, whatever name leads to them.
    QTest::newRow("a link to a model variant of the program: refused, the variant stays")
        << SavePlace([](const QString& dir, const QString& path) {
               QVERIFY(testfiles::writeFile(dir + QStringLiteral("/Models/2.mdl"), "model variant 2"));
               QVERIFY(QFile::link(dir + QStringLiteral("/Models/2.mdl"), path));
           })
        << QString() << "strLoadingFileShipped(<file>)";
#endif
    // A note read from a file in the Windows code page takes two bytes a letter "é" in UTF-8: one
    // byte more than the largest loading file, and it would never open again.
    QTest::newRow("a note one byte too long, a file there") << SavePlace(aFile) << QString(32681, QChar(0xE9)) + "xy"
                                                            << "strLoadingFileNoteTooLong(<file>, 65537, 65536) "
                                                               "strLoadingFileShortenNote()";
    QTest::newRow("a note far too long, nothing there") << nothing << QString(60000, QChar(0x20AC))
                                                        << "strLoadingFileNoteTooLong(<file>, 180173, 65536) "
                                                           "strLoadingFileShortenNote()";
}

void TestLoadingFile::saveRefusedBeforeAsking() {
    QFETCH(SavePlace, place);
    QFETCH(QString, note);
    QFETCH(QString, refusal);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("trip.tqload"));
    const QString programFolder = dir.path() + QLatin1Char('/');
    QDir(dir.path()).mkpath(QStringLiteral("Models"));
    place(dir.path(), path);
    const auto before = testfiles::snapshot(dir.path());
    const loadingfile::Contents contents{LoadingModel(), note};
    const loadingfile::Target target = loadingfile::target(path, contents, programFolder);
    const auto shown = [&path](const QList<MessagePart>& parts) {
        QStringList said;
        for (const MessagePart& part : parts)
            said << part.key + '(' + part.details.join(QStringLiteral(", ")) + ')';
        return said.join(' ').replace(QDir::toNativeSeparators(path), QStringLiteral("<file>"));
    };
    QCOMPARE(shown(target.refusal), refusal);
    QCOMPARE(target.exists, refusal.isEmpty());
    // Refused by the save itself too, whoever asks for it (the file system refuses the rest).
    if (!refusal.isEmpty() && !refusal.startsWith(QLatin1String("strLoadingFileNotSaved")))
        QCOMPARE(shown(loadingfile::save(path, contents, programFolder).value()), refusal);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(testfiles::snapshot(dir.path()), before);
}

void TestLoadingFile::recentList() {
    QTemporaryDir dir;
    const QString programFolder = dir.path() + QLatin1Char('/');
    recentloadings::Recent recent;
    for (const char* name : {"/a.tqload", "/b.tqload", "/m/a.tqload", "/d.txt", "/x/../b.tqload"})
        recent = recentloadings::used(recent, root() + QString::fromLatin1(name));
    // Through the file, as the next start finds it: most recent first, once each, four at most.
    QString reason;
    QVERIFY(recentloadings::write(programFolder, recent, &reason));
    const recentloadings::Recent kept = recentloadings::read(programFolder);
    const QStringList files{root() + "/b.tqload", root() + "/d.txt", root() + "/m/a.tqload", root() + "/a.tqload"};
    QCOMPARE(kept.files, files);
    QCOMPARE(kept.folder, root());
    const QString shown = QDir::toNativeSeparators(root());
    QCOMPARE(recentloadings::names(kept.files),
             (QStringList{"b", "d.txt", "a (" + shown + QDir::separator() + "m)", "a (" + shown + ")"}));
    QCOMPARE(recentloadings::forgotten(kept, root() + "/m/a.tqload").files.size(), 3);
}

void TestLoadingFile::recentFileDamaged_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("files");
    const QByteArray head = "Merovan recent loadings 1\r\nfolder=/l\r\n";
    QTest::newRow("another file") << QByteArray("[WEIGHT_AND_BALANCE]\r\nfile=/l/a.tqload\r\n") << QStringList{};
    QTest::newRow("relative and empty names passed over") << head + "file=a.tqload\nfile=\nfile=/l/b\n"
                                                          << QStringList{"/l/b"};
    QTest::newRow("a folder in its place") << QByteArray("folder") << QStringList{};
}

void TestLoadingFile::recentFileDamaged() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, files);
    QTemporaryDir dir;
    const QString path = dir.filePath(QLatin1String(recentloadings::kFile));
    QVERIFY(bytes == "folder" ? QDir().mkpath(path) : testfiles::writeFile(path, bytes));
    QCOMPARE(recentloadings::read(dir.path() + QLatin1Char('/')).files, files);
}

void TestLoadingFile::commandLine() {
    const QString here = QDir::cleanPath(QDir::tempPath());
    QCOMPARE(loadingfile::fromCommandLine({"merovan"}, here), std::nullopt);
    QCOMPARE(loadingfile::fromCommandLine({"merovan", QString::fromUtf8("../Flüge/A, B.tqload"), "x"}, here),
             QDir::cleanPath(here + QString::fromUtf8("/../Flüge/A, B.tqload")));
#ifdef Q_OS_WIN
    // As Explorer hands it over.
    QCOMPARE(loadingfile::fromCommandLine({"merovan.exe", "D:\\Flüge\\trip.tqload"}, here),
             QStringLiteral("D:/Flüge/trip.tqload"));
#endif
}

QTEST_GUILESS_MAIN(TestLoadingFile)
#include "tst_loadingfile.moc"
