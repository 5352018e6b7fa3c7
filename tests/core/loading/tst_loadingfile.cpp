// Loadings kept as files, without a window: every field through a real file and back, files
// written or spoilt by hand, what is at the path, and the list of the loadings used last.

#include "core/loading/LoadingFile.h"
#include "core/loading/RecentLoadings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using loadingfile::Contents;

namespace {

// A loading with the given weights (0: a free seat).
LoadingModel loadingOf(std::int16_t pilot, std::int16_t co, std::int16_t left, std::int16_t right,
                       std::int16_t baggage) {
    LoadingModel m;
    bool ok = m.setPilotWeight(pilot) && m.setBaggage(baggage);
    for (const auto& [seat, kg] : {std::pair{Seat::Co, co}, {Seat::PaxLeft, left}, {Seat::PaxRight, right}})
        ok = ok && (kg == 0 || m.seat(seat, kg));
    if (!ok)
        QTest::qFail("loading out of range", __FILE__, __LINE__);
    return m;
}

// A file as the program writes it, with lines replaced or added: "key=value" replaces the line of
// that key, a line without a known key is added at the end.
QByteArray fileWith(const QByteArrayList& changes) {
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

// An absolute folder of this system for rows about paths; nothing is made there.
QString root() {
    return QDir::cleanPath(QDir::tempPath()) + QStringLiteral("/r");
}
QStringList rooted(const QStringList& names) {
    QStringList paths;
    for (const QString& name : names)
        paths << root() + name;
    return paths;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TestLoadingFile : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void writtenAsDocumented();
    void handWritten_data();
    void handWritten();
    void refused_data();
    void refused();
    void notAFile_data();
    void notAFile();
    void savedWhere_data();
    void savedWhere();
    void commandLine_data();
    void commandLine();
    void recentList_data();
    void recentList();
    void recentFileDamaged_data();
    void recentFileDamaged();
    void menuNames_data();
    void menuNames();
    void dialogFolder();
};

void TestLoadingFile::roundTrip_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<LoadingModel>("loading");
    QTest::addColumn<QString>("note");
    QTest::newRow("the start loading, no note") << "Start" << LoadingModel() << QString();
    QTest::newRow("every seat, a note with umlauts")
        << QString::fromUtf8("Hamburg mit Jürgen") << loadingOf(81, 75, 64, 59, 12)
        << QString::fromUtf8("Jürgen, Änne und Öztürk fliegen nach Großenbrode");
    QTest::newRow("passengers without a co-pilot, commas and quotes")
        << QStringLiteral("Anna, Ben") << loadingOf(90, 0, 70, 71, 0)
        << QStringLiteral("\"Anna\", 'Ben' = 2 # not a comment; 100% sure \\ no escape");
    QTest::newRow("the lightest pilot, fullest baggage")
        << QStringLiteral("leicht") << loadingOf(40, 0, 0, 0, 23) << QStringLiteral("=");
    QTest::newRow("the largest weights everywhere")
        << QStringLiteral("schwer") << loadingOf(8012, 8012, 8012, 8012, 23) << QStringLiteral("32766 kg");
    QTest::newRow("negative weights, as the seats take them")
        << QStringLiteral("minus") << loadingOf(40, -8012, -20, 0, 1) << QString::fromUtf8("€ ‚„… ł č 日本 😀");
#ifndef Q_OS_WIN
    // Windows takes no double quote in a file name.
    QTest::newRow("a name with double quotes")
        << QStringLiteral("Der \"Chef\", allein") << loadingOf(95, 0, 0, 0, 3) << QString();
#endif
}

void TestLoadingFile::roundTrip() {
    QFETCH(QString, name);
    QFETCH(LoadingModel, loading);
    QFETCH(QString, note);
    QTemporaryDir dir(QDir::tempPath() + QString::fromUtf8("/Beladungen ä, XXXXXX"));
    QVERIFY(dir.isValid());
    const QString path = loadingfile::withExtension(dir.filePath(name));
    QVERIFY(path.endsWith(QLatin1String(".tqload")));
    QVERIFY(!loadingfile::target(path).exists);
    const Contents saved{loading, note};
    QVERIFY(!loadingfile::save(path, saved).has_value());
    QVERIFY(loadingfile::target(path).exists);
    const loadingfile::Opened opened = loadingfile::open(path);
    QCOMPARE(opened.message, QList<MessagePart>{});
    QVERIFY(opened.contents.has_value());
    QVERIFY(opened.contents->loading == loading);
    QCOMPARE(opened.contents->note, note);
    // Saved again, the same bytes: nothing drifts from one save to the next.
    QCOMPARE(loadingfile::format(*opened.contents), loadingfile::format(saved));
    // No temporary file is left beside it.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QFileInfo(path).fileName()});
}

void TestLoadingFile::writtenAsDocumented() {
    // The form the README shows: what a user editing the file by hand finds.
    const QByteArray expected = "Merovan TQ 58 loading 1\r\n"
                                "# Weights in kg; an empty weight is a free seat. Baggage from 0 to 23 kg.\r\n"
                                "pilot=80\r\n"
                                "copilot=75\r\n"
                                "passenger_left=\r\n"
                                "passenger_right=60\r\n"
                                "baggage=12\r\n"
                                "note=Hamburg mit J\xC3\xBCrgen\r\n";
    QCOMPARE(loadingfile::format({loadingOf(80, 75, 0, 60, 12), QString::fromUtf8("Hamburg mit Jürgen")}), expected);
    // A note never breaks the file into more lines.
    QCOMPARE(loadingfile::format({LoadingModel(), QStringLiteral("a\r\nb\nc\rd")}).split('\n').size(), 9);
}

void TestLoadingFile::handWritten_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<LoadingModel>("loading");
    QTest::addColumn<QString>("note");
    const LoadingModel usual = loadingOf(80, 75, 0, 60, 12);
    QTest::newRow("as written") << fileWith({}) << usual << QStringLiteral("Hamburg");
    QTest::newRow("LF line ends, no last line end")
        << fileWith({}).replace("\r\n", "\n").chopped(1) << usual << QStringLiteral("Hamburg");
    QTest::newRow("CR line ends") << fileWith({}).replace("\r\n", "\r") << usual << QStringLiteral("Hamburg");
    QTest::newRow("a byte-order mark, as Notepad writes")
        << "\xEF\xBB\xBF" + fileWith({}) << usual << QStringLiteral("Hamburg");
    QTest::newRow("the note in the Windows code page")
        << fileWith({"note=J\xFCrgen \x80 5"}) << usual << QString::fromUtf8("Jürgen € 5");
    QTest::newRow("keys in capitals, blanks, tabs, kg, comments, unknown keys")
        << QByteArray("  merovan tq 58 LOADING 1  \n# mine\n\n PILOT = 80 kg\nCoPilot\t=\t75kg\nfuel=120\n"
                      "passenger_left =\npassenger_right= 60 KG \n; baggage=99\nBaggage=12\n")
        << usual << QString();
    QTest::newRow("no note") << fileWith({}).replace("note=Hamburg\r\n", "") << usual << QString();
    QTest::newRow("a note with = and leading blanks") << fileWith({"note=   a=b  "}) << usual << QStringLiteral("a=b");
    QTest::newRow("a key a later version adds, twice")
        << fileWith({"fuel=1", "fuel=2"}) << usual << QStringLiteral("Hamburg");
    QTest::newRow("a passenger below zero, as the seats take it")
        << fileWith({"passenger_left=-20"}) << loadingOf(80, 75, -20, 60, 12) << QStringLiteral("Hamburg");
    QTest::newRow("leading zeros") << fileWith({"pilot=0080", "baggage=00"}) << loadingOf(80, 75, 0, 60, 0)
                                   << QStringLiteral("Hamburg");
}

void TestLoadingFile::handWritten() {
    QFETCH(QByteArray, bytes);
    QFETCH(LoadingModel, loading);
    QFETCH(QString, note);
    const loadingfile::Parsed parsed = loadingfile::parse(bytes);
    QCOMPARE(parsed.fault, MessagePart{});
    QVERIFY(parsed.contents.has_value());
    QVERIFY(parsed.contents->loading == loading);
    QCOMPARE(parsed.contents->note, note);
}

void TestLoadingFile::refused_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QStringList>("details");
    auto row = [](const char* name, const QByteArray& bytes, const char* key, const QStringList& details) {
        QTest::newRow(name) << bytes << QString::fromLatin1(key) << details;
    };
    const QStringList formatLine{QStringLiteral("Merovan TQ 58 loading 1")};
    row("an empty file", "", "strLoadingFileNotLoading", formatLine);
    row("another program's file", "[WEIGHT_AND_BALANCE]\r\npilot=80\r\n", "strLoadingFileNotLoading", formatLine);
    row("a comment before the first line", "# mine\r\n" + fileWith({}), "strLoadingFileNotLoading", formatLine);
    row("a version without a number", fileWith({}).replace("loading 1", "loading one"), "strLoadingFileNotLoading",
        formatLine);
    row("a later version", fileWith({}).replace("loading 1", "loading 2"), "strLoadingFileNewer", {"2"});
    QByteArray utf16("\xFF\xFE");
    for (const QChar c : QString::fromLatin1(fileWith({})))
        utf16 += char(c.unicode()) + QByteArray(1, '\0');
    row("saved as UTF-16 (Notepad's Unicode)", utf16, "strLoadingFileNotText", {});
    row("a line without =", fileWith({"copilot 75"}), "strLoadingFileNotKeyValue", {"8", "copilot 75"});
    row("a value without a key", fileWith({" =80"}), "strLoadingFileNotKeyValue", {"8", "=80"});
    row("the pilot twice", fileWith({}).replace("copilot=75", "copilot=75\r\nPilot = 90"), "strLoadingFileTwice",
        {"4", "Pilot = 90", "pilot"});
    row("the co-pilot missing", fileWith({}).replace("copilot=75\r\n", ""), "strLoadingFileMissing", {"copilot"});
    row("the baggage missing", fileWith({}).replace("baggage=12\r\n", ""), "strLoadingFileMissing", {"baggage"});
    row("a pilot of 39 kg", fileWith({"pilot=39"}), "strLoadingFilePilotUnder", {"2", "pilot=39", "40"});
    row("a pilot below zero", fileWith({"pilot=-80"}), "strLoadingFilePilotUnder", {"2", "pilot=-80", "40"});
    row("no pilot", fileWith({"pilot="}), "strLoadingFilePilotFree", {"2", "pilot="});
    row("a person of 0 kg", fileWith({"copilot=0"}), "strLoadingFileNoWeight", {"3", "copilot=0"});
    row("letters", fileWith({"copilot=abc"}), "strLoadingFileNotWhole", {"3", "copilot=abc"});
    row("a half kilogram", fileWith({"copilot=72.5"}), "strLoadingFileNotWhole", {"3", "copilot=72.5"});
    row("a plus sign", fileWith({"copilot=+75"}), "strLoadingFileNotWhole", {"3", "copilot=+75"});
    row("pounds", fileWith({"copilot=165 lbs"}), "strLoadingFileNotWhole", {"3", "copilot=165 lbs"});
    row("an Arabic-Indic digit", fileWith({"copilot=\xD9\xA3"}), "strLoadingFileNotWhole",
        {"3", QString::fromUtf8("copilot=٣")});
    row("8013 kg", fileWith({"passenger_right=8013"}), "strLoadingFileBeyondLimit",
        {"5", "passenger_right=8013", "8012"});
    row("-8013 kg", fileWith({"passenger_left=-8013"}), "strLoadingFileBeyondLimit",
        {"4", "passenger_left=-8013", "8012"});
    row("more digits than any number", fileWith({"copilot=" + QByteArray(40, '9')}), "strLoadingFileBeyondLimit",
        {"3", QStringLiteral("copilot=") + QString(32, QLatin1Char('9')) + QChar(0x2026), "8012"});
    row("24 kg of baggage", fileWith({"baggage=24"}), "strLoadingFileBaggageRange", {"6", "baggage=24", "23"});
    row("baggage below zero", fileWith({"baggage=-1"}), "strLoadingFileBaggageRange", {"6", "baggage=-1", "23"});
    row("no baggage value", fileWith({"baggage="}), "strLoadingFileNotWhole", {"6", "baggage="});
    row("the first of two faults", fileWith({"copilot=x", "baggage=99"}), "strLoadingFileNotWhole", {"3", "copilot=x"});
}

void TestLoadingFile::refused() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, key);
    QFETCH(QStringList, details);
    const loadingfile::Parsed parsed = loadingfile::parse(bytes);
    QVERIFY(!parsed.contents.has_value());
    QCOMPARE(parsed.fault.key, key);
    QCOMPARE(parsed.fault.details, details);
}

void TestLoadingFile::notAFile_data() {
    QTest::addColumn<QString>("what");
    QTest::addColumn<MessagePart>("fault");
    QTest::addColumn<bool>("missing");
    const auto reason = [](const char* r) {
        return MessagePart{QStringLiteral("strLoadingFileUnreadable"), {QString::fromLatin1(r)}};
    };
    QTest::newRow("nothing there") << "missing" << reason(std::strerror(ENOENT)) << true;
    QTest::newRow("a folder") << "folder" << reason("it is a folder, not a file") << false;
    QTest::newRow("one byte too large") << "large"
                                        << MessagePart{QStringLiteral("strLoadingFileTooLarge"), {"65537", "65536"}}
                                        << false;
    QTest::newRow("spoilt") << "spoilt" << MessagePart{QStringLiteral("strLoadingFileNotKeyValue"), {"3", "copilot"}}
                            << false;
#ifdef Q_OS_UNIX
    // Opened, a pipe would wait for a writer for ever.
    QTest::newRow("a named pipe") << "pipe" << reason("it is not a file (but a pipe, a socket or a device)") << false;
#endif
}

void TestLoadingFile::notAFile() {
    QFETCH(QString, what);
    QFETCH(MessagePart, fault);
    QFETCH(bool, missing);
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromUtf8("Jürgen, 'Ben' & Co.tqload"));
    if (what == QLatin1String("folder"))
        QVERIFY(QDir().mkpath(path));
    if (what == QLatin1String("large"))
        QVERIFY(writeFile(path, QByteArray(loadingfile::kLargestFile + 1, '\n')));
    if (what == QLatin1String("spoilt"))
        QVERIFY(writeFile(path, fileWith({}).replace("copilot=75", "copilot")));
#ifdef Q_OS_UNIX
    if (what == QLatin1String("pipe"))
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
#endif
    const loadingfile::Opened opened = loadingfile::open(path);
    QVERIFY(!opened.contents.has_value());
    QCOMPARE(opened.missing, missing);
    const QList<MessagePart> expected{{QStringLiteral("strLoadingFileNotOpened"), {QDir::toNativeSeparators(path)}},
                                      fault,
                                      {QStringLiteral("strTakeOverUnchanged"), {}}};
    QCOMPARE(opened.message, expected);
}

void TestLoadingFile::savedWhere_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("saved");
    QTest::newRow("a name without extension") << "trip"
                                              << "trip.tqload";
    QTest::newRow("the extension given") << "trip.tqload"
                                         << "trip.tqload";
    QTest::newRow("the extension in capitals") << "TRIP.TQLOAD"
                                               << "TRIP.TQLOAD";
    QTest::newRow("a name with a dot") << "Hans.Müller"
                                       << "Hans.Müller.tqload";
    QTest::newRow("another extension") << "trip.txt"
                                       << "trip.txt.tqload";
}

void TestLoadingFile::savedWhere() {
    QFETCH(QString, chosen);
    QFETCH(QString, saved);
    QCOMPARE(loadingfile::withExtension(QStringLiteral("/x/") + chosen), QStringLiteral("/x/") + saved);
}

void TestLoadingFile::commandLine_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<std::optional<QString>>("file");
    const QString here = QDir::cleanPath(QDir::tempPath());
    QTest::newRow("none") << QStringList{"merovan"} << std::optional<QString>();
    QTest::newRow("a name in the current folder")
        << QStringList{"merovan", "trip.tqload"} << std::optional<QString>(here + "/trip.tqload");
    QTest::newRow("a relative path with umlauts and commas")
        << QStringList{"merovan", QString::fromUtf8("../Flüge/A, B.tqload")}
        << std::optional<QString>(QDir::cleanPath(here + QString::fromUtf8("/../Flüge/A, B.tqload")));
    QTest::newRow("an absolute path") << QStringList{"merovan", here + "/a/../b.tqload", "second.tqload"}
                                      << std::optional<QString>(here + "/b.tqload");
#ifdef Q_OS_WIN
    QTest::newRow("as Explorer gives it") << QStringList{"merovan.exe", "D:\\Flüge\\trip.tqload"}
                                          << std::optional<QString>(QString::fromUtf8("D:/Flüge/trip.tqload"));
#endif
}

void TestLoadingFile::commandLine() {
    QFETCH(QStringList, arguments);
    QFETCH(std::optional<QString>, file);
    QCOMPARE(loadingfile::fromCommandLine(arguments, QDir::tempPath()), file);
}

void TestLoadingFile::recentList_data() {
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("used");
    QTest::addColumn<QStringList>("after");
    QTest::newRow("the first") << QStringList{} << root() + "/a.tqload" << rooted({"/a.tqload"});
    QTest::newRow("a new one goes first") << rooted({"/a.tqload", "/b.tqload"}) << root() + "/m/c.tqload"
                                          << rooted({"/m/c.tqload", "/a.tqload", "/b.tqload"});
    QTest::newRow("one in the list moves up, once")
        << rooted({"/a.tqload", "/b.tqload", "/c.tqload"}) << root() + "/x/../c.tqload"
        << rooted({"/c.tqload", "/a.tqload", "/b.tqload"});
    QTest::newRow("four at most") << rooted({"/a.tqload", "/b.tqload", "/c.tqload", "/d.tqload"})
                                  << root() + "/e.tqload"
                                  << rooted({"/e.tqload", "/a.tqload", "/b.tqload", "/c.tqload"});
    QTest::newRow("names that differ in letter case only") << rooted({"/Trip.tqload"}) << root() + "/trip.tqload"
#ifdef Q_OS_WIN
                                                           << rooted({"/trip.tqload"});
#else
                                                           << rooted({"/trip.tqload", "/Trip.tqload"});
#endif
}

void TestLoadingFile::recentList() {
    QFETCH(QStringList, before);
    QFETCH(QString, used);
    QFETCH(QStringList, after);
    QTemporaryDir dir;
    const QString programFolder = dir.path() + QLatin1Char('/');
    // Through the file, as the next start finds it.
    QString reason;
    QVERIFY(recentloadings::write(programFolder, {before, root()}, &reason));
    const recentloadings::Recent read = recentloadings::read(programFolder);
    QCOMPARE(read.files, before);
    QCOMPARE(read.folder, root());
    QVERIFY(recentloadings::write(programFolder, recentloadings::used(read, used), &reason));
    const recentloadings::Recent kept = recentloadings::read(programFolder);
    QCOMPARE(kept.files, after);
    QCOMPARE(kept.folder, QFileInfo(after.constFirst()).absolutePath());
    QCOMPARE(recentloadings::forgotten(kept, after.constFirst()).files, after.sliced(1));
}

void TestLoadingFile::recentFileDamaged_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("files");
    const QByteArray head = "Merovan recent loadings 1\r\nfolder=/l\r\n";
    QTest::newRow("empty") << QByteArray() << QStringList{};
    QTest::newRow("another file") << QByteArray("[WEIGHT_AND_BALANCE]\r\nfile=/l/a.tqload\r\n") << QStringList{};
    QTest::newRow("not UTF-8") << head + "file=/l/\xFC.tqload\r\n" << QStringList{};
    QTest::newRow("relative, empty and odd lines passed over")
        << head + "file=a.tqload\r\nfile=\r\nnonsense\r\nfile=/l/b.tqload\r\n"
        << QStringList{"/l/b.tqload"};
    QTest::newRow("more than four, and twice")
        << head + "file=/l/a\nfile=/l/a\nfile=/l/b\nfile=/l/c\nfile=/l/d\nfile=/l/e\n"
        << QStringList{"/l/a", "/l/b", "/l/c", "/l/d"};
    QTest::newRow("too large") << head + "file=/l/a\n" + QByteArray(70000, '\n') << QStringList{};
    QTest::newRow("a folder in its place") << QByteArray("folder") << QStringList{};
}

void TestLoadingFile::recentFileDamaged() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, files);
    QTemporaryDir dir;
    const QString programFolder = dir.path() + QLatin1Char('/');
    const QString path = programFolder + QLatin1String(recentloadings::kFile);
    if (bytes == "folder")
        QVERIFY(QDir().mkpath(path));
    else
        QVERIFY(writeFile(path, bytes));
    QCOMPARE(recentloadings::read(programFolder).files, files);
}

void TestLoadingFile::menuNames_data() {
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("without the extension")
        << rooted({QString::fromUtf8("/Hamburg mit Jürgen.tqload"), "/A, \"B\" & C.TQLOAD", "/x.txt", "/.tqload"})
        << QStringList{QString::fromUtf8("Hamburg mit Jürgen"), "A, \"B\" & C", "x.txt", ".tqload"};
    const QString shownRoot = QDir::toNativeSeparators(root());
    QTest::newRow("a name two folders share")
        << rooted({"/trip.tqload", "/m/trip.tqload", "/m/other.tqload"})
        << QStringList{"trip (" + shownRoot + ")", "trip (" + shownRoot + QDir::separator() + "m)", "other"};
}

void TestLoadingFile::menuNames() {
    QFETCH(QStringList, files);
    QFETCH(QStringList, names);
    QCOMPARE(recentloadings::names(files), names);
}

void TestLoadingFile::dialogFolder() {
    QTemporaryDir dir;
    const QString programFolder = dir.path() + QLatin1Char('/');
    // None used yet: Loadings/ in the program folder, made for it.
    QCOMPARE(recentloadings::dialogFolder(programFolder, {}), programFolder + QStringLiteral("Loadings"));
    QVERIFY(QFileInfo(programFolder + QStringLiteral("Loadings")).isDir());
    // The folder last used while it is there.
    const QString used = dir.filePath(QString::fromUtf8("Flüge"));
    QVERIFY(QDir().mkpath(used));
    QCOMPARE(recentloadings::dialogFolder(programFolder, {{}, used}), used);
    QVERIFY(QDir(used).removeRecursively());
    QCOMPARE(recentloadings::dialogFolder(programFolder, {{}, used}), programFolder + QStringLiteral("Loadings"));
}

QTEST_GUILESS_MAIN(TestLoadingFile)
#include "tst_loadingfile.moc"
