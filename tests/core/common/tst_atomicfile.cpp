#include "core/common/AtomicFile.h"
#include "support/Files.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <thread>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#else
#include <sys/stat.h>
#endif

using namespace testfiles;

class TestAtomicFile : public QObject {
    Q_OBJECT
private slots:
    void replacesWholeFile_data();
    void replacesWholeFile();
    void keepsPermissions_data();
    void keepsPermissions();
    void followsSymlink();
    void copyReplacesTarget();
    void staleTemporariesAreRemoved();
    void failureLeavesOldFileAndNoTemporary_data();
    void failureLeavesOldFileAndNoTemporary();
    void windowsAttributes_data();
    void windowsAttributes();
    void newFileNeverOverwritesWhatIsThere_data();
    void newFileNeverOverwritesWhatIsThere();
    void ownerKeptOnlyWhereTheUserMayGiveIt_data();
    void ownerKeptOnlyWhereTheUserMayGiveIt();
};

void TestAtomicFile::replacesWholeFile_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("short") << QByteArray(" 0 \r\n");
    QTest::newRow("bigger than any write buffer") << QByteArray(3 * 1024 * 1024 + 7, 'x');
}

void TestAtomicFile::replacesWholeFile() {
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("strt.cfg"));
    QVERIFY(writeFile(path, QByteArray(100000, 'o')));
    QString reason;
    QVERIFY2(atomicfile::replaceWithData(path, content, &reason), qPrintable(reason));
    QCOMPARE(readFile(path), content);
    QCOMPARE(snapshot(dir.path()).keys(), QStringList{QStringLiteral("strt.cfg")});
}

void TestAtomicFile::keepsPermissions_data() {
    QTest::addColumn<bool>("existed");
    QTest::addColumn<int>("umask");
    QTest::newRow("a replaced file keeps its permissions, whatever the umask") << true << 0077;
    QTest::newRow("a new file follows the user's umask (027)") << false << 0027;
    QTest::newRow("a new file follows the user's umask (002, a shared group)") << false << 0002;
}

void TestAtomicFile::keepsPermissions() {
#ifndef Q_OS_UNIX
    QSKIP("Unix permission bits; windowsAttributes covers Windows");
#else
    QFETCH(bool, existed);
    QFETCH(int, umask);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.cfg"));
    if (existed) {
        QVERIFY(writeFile(path, "old"));
        QVERIFY(::chmod(QFile::encodeName(path).constData(), 0640) == 0);
    }
    const mode_t before = ::umask(mode_t(umask));
    const bool replaced = atomicfile::replaceWithData(path, "new", nullptr);
    ::umask(before);
    QVERIFY(replaced);
    QCOMPARE(modeOf(path), existed ? 0640 : 0666 & ~umask);
#endif
}

void TestAtomicFile::followsSymlink() {
#ifndef Q_OS_UNIX
    QSKIP("QFile::link makes a shortcut (.lnk) on Windows, which the file system does not follow");
#endif
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("real.cfg"));
    const QString link = dir.filePath(QStringLiteral("link.cfg"));
    QVERIFY(writeFile(target, "old"));
    QVERIFY(QFile::link(target, link));
    QVERIFY(atomicfile::replaceWithData(link, "new", nullptr));
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(readFile(target), QByteArray("new"));
}

void TestAtomicFile::copyReplacesTarget() {
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("german.crf"));
    const QString target = dir.filePath(QStringLiteral("language.crf"));
    QByteArray content(2 * 1024 * 1024 + 3, '\0');
    for (int i = 0; i < content.size(); ++i)
        content[i] = char(i * 7);
    QVERIFY(writeFile(source, content));
    QVERIFY(writeFile(target, "old"));
    QString reason;
    QVERIFY2(atomicfile::replaceWithCopy(source, target, &reason), qPrintable(reason));
    QCOMPARE(readFile(target), content);
    QCOMPARE(snapshot(dir.path()).keys().size(), 2);
}

void TestAtomicFile::staleTemporariesAreRemoved() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("aircraft.cfg"));
    QVERIFY(writeFile(path, "old"));
    const QString stale = dir.filePath(QStringLiteral(".aircraft.cfg.k3j9.tmp"));
    const QString fresh = dir.filePath(QStringLiteral(".aircraft.cfg.x7q2.tmp"));
    const QString other = dir.filePath(QStringLiteral(".options.cfg.a1b2.tmp"));
    for (const QString& file : {stale, fresh, other})
        QVERIFY(writeFile(file, "partial"));
    const QDateTime old = QDateTime::currentDateTime().addSecs(-3600);
    for (const QString& file : {stale, other}) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(old, QFileDevice::FileModificationTime));
    }
    QVERIFY(atomicfile::replaceWithData(path, "new", nullptr));
    QVERIFY(!QFile::exists(stale));
    QVERIFY(QFile::exists(fresh)); // may belong to a save still running
    QVERIFY(QFile::exists(other)); // another file's business
    QCOMPARE(readFile(path), QByteArray("new"));
}

void TestAtomicFile::failureLeavesOldFileAndNoTemporary_data() {
    QTest::addColumn<QString>("what");
    QTest::newRow("missing source") << "missing source";
    QTest::newRow("missing folder") << "missing folder";
    QTest::newRow("directory in the way") << "directory in the way";
    QTest::newRow("read-only file, whoever replaces it") << "read-only";
    QTest::newRow("a named pipe: neither opened nor replaced by a file") << "pipe";
}

void TestAtomicFile::failureLeavesOldFileAndNoTemporary() {
    QFETCH(QString, what);
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("language.crf"));
    QVERIFY(writeFile(target, "old"));
    QString reason;
    bool ok = true;
    if (what == QLatin1String("missing source")) {
        ok = atomicfile::replaceWithCopy(dir.filePath(QStringLiteral("nope.crf")), target, &reason);
    } else if (what == QLatin1String("missing folder")) {
        ok = atomicfile::replaceWithData(dir.filePath(QStringLiteral("Data/x.cfg")), "new", &reason);
    } else if (what == QLatin1String("read-only")) {
        QVERIFY(QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
        ok = atomicfile::replaceWithData(target, "new", &reason);
    } else if (what == QLatin1String("pipe")) {
#ifdef Q_OS_UNIX
        const QString pipe = dir.filePath(QStringLiteral("options.cfg"));
        QVERIFY(::mkfifo(QFile::encodeName(pipe).constData(), 0644) == 0);
        ok = atomicfile::replaceWithData(pipe, "new", &reason);
        QVERIFY(!QFileInfo(pipe).isFile());
#else
        QSKIP("no pipes in the file system here");
#endif
    } else {
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("busy.cfg/inner")));
        ok = atomicfile::replaceWithData(dir.filePath(QStringLiteral("busy.cfg")), "new", &reason);
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("busy.cfg"))).isDir());
    }
    QVERIFY(!ok);
    QVERIFY(!reason.isEmpty());
    QVERIFY2(!reason.contains(QLatin1String("Unknown error")), qPrintable(reason));
    QCOMPARE(readFile(target), QByteArray("old"));
    QCOMPARE(temporaryFiles(dir.path()), QStringList());
}

void TestAtomicFile::windowsAttributes_data() {
    QTest::addColumn<bool>("existed");
    QTest::addColumn<quint32>("attributes"); // of the existing file
    QTest::addColumn<bool>("replaced");
#ifdef Q_OS_WIN
    QTest::newRow("new file") << false << quint32(0) << true;
    QTest::newRow("plain file") << true << quint32(FILE_ATTRIBUTE_ARCHIVE) << true;
    QTest::newRow("hidden file stays hidden") << true << quint32(FILE_ATTRIBUTE_HIDDEN) << true;
    QTest::newRow("read-only file is refused") << true << quint32(FILE_ATTRIBUTE_READONLY) << false;
    QTest::newRow("read-only hidden file is refused")
        << true << quint32(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN) << false;
#endif
}

void TestAtomicFile::windowsAttributes() {
#ifndef Q_OS_WIN
    QSKIP("Windows file attributes");
#else
    QFETCH(bool, existed);
    QFETCH(quint32, attributes);
    QFETCH(bool, replaced);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("aircraft.cfg"));
    const std::wstring native = QDir::toNativeSeparators(path).toStdWString();
    const DWORD kept = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
    if (existed) {
        QVERIFY(writeFile(path, "old"));
        QVERIFY(::SetFileAttributesW(native.c_str(), attributes));
    }
    QString reason;
    const bool ok = atomicfile::replaceWithData(path, "new", &reason);
    const DWORD after = ::GetFileAttributesW(native.c_str());
    ::SetFileAttributesW(native.c_str(), FILE_ATTRIBUTE_NORMAL);
    QCOMPARE(ok, replaced);
    QVERIFY(after != INVALID_FILE_ATTRIBUTES);
    QCOMPARE(after & kept, attributes & kept);
    QCOMPARE(readFile(path), QByteArray(replaced ? "new" : "old"));
    QVERIFY2(replaced || reason.contains(QLatin1String("read-only")), qPrintable(reason));
    QCOMPARE(snapshot(dir.path()).keys(), QStringList{QStringLiteral("aircraft.cfg")});
#endif
}

// A new file (a backup) takes its name only where nothing is, also where something comes there
// after the first look, while the copy is being written.
void TestAtomicFile::newFileNeverOverwritesWhatIsThere_data() {
    QTest::addColumn<bool>("link");   // a dangling symbolic link comes there instead of a file
    QTest::addColumn<bool>("during"); // it comes while the copy is being written
    QTest::newRow("a file already at the new name is kept") << false << false;
    QTest::newRow("a dangling link already at the new name is kept, and nothing made at its end") << true << false;
    QTest::newRow("a file that comes to the new name while the copy is written is kept") << false << true;
    QTest::newRow("a dangling link that comes while the copy is written is kept") << true << true;
}

void TestAtomicFile::newFileNeverOverwritesWhatIsThere() {
    QFETCH(bool, link);
    QFETCH(bool, during);
#ifndef Q_OS_UNIX
    if (link)
        QSKIP("symbolic links need Unix here");
#endif
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("aircraft.cfg"));
    const QString path = dir.filePath(QStringLiteral("aircraft.cfg.installed"));
    const QString elsewhere = dir.filePath(QStringLiteral("elsewhere.cfg"));
    QVERIFY(writeFile(source, QByteArray(during ? 64 << 20 : 10, 'n')));
    const auto occupy = [&] {
        QFile theirs(path);
        return link ? QFile::link(elsewhere, path) : theirs.open(QIODevice::NewOnly) && theirs.write("theirs") == 6;
    };
    bool made = false;
    QString reason;
    if (during) {
        std::thread copying([&] { made = atomicfile::createCopy(source, path, &reason); });
        const QDeadlineTimer deadline(30000);
        while (temporaryFiles(dir.path()).isEmpty() && !deadline.hasExpired())
            std::this_thread::yield();
        const bool occupied = occupy();
        copying.join();
        if (!occupied)
            QSKIP("the copy was done before anything could come to its name");
    } else {
        QVERIFY(occupy());
        made = atomicfile::createCopy(source, path, &reason);
    }
    QVERIFY(!made);
    QVERIFY(!reason.isEmpty());
    if (link) {
        QCOMPARE(QFileInfo(path).symLinkTarget(), elsewhere);
        QVERIFY(!QFileInfo::exists(elsewhere));
    } else {
        QCOMPARE(readFile(path), QByteArray("theirs"));
    }
    QCOMPARE(temporaryFiles(dir.path()), QStringList());
}

// Users 1000 and 1001; groups 100 (1000's primary), 200 (a group 1000 is also in) and 300.
void TestAtomicFile::ownerKeptOnlyWhereTheUserMayGiveIt_data() {
    QTest::addColumn<unsigned>("owner");
    QTest::addColumn<unsigned>("group");
    QTest::addColumn<unsigned>("user");
    QTest::addColumn<bool>("kept");
    QTest::newRow("an administrator keeps another user's owner and group") << 1001u << 300u << 0u << true;
    QTest::newRow("the owner, in their primary group") << 1000u << 100u << 1000u << true;
    QTest::newRow("the owner, in another group of theirs") << 1000u << 200u << 1000u << true;
    QTest::newRow("the owner, in a group they are not in") << 1000u << 300u << 1000u << false;
    QTest::newRow("another user's file in the user's primary group") << 1001u << 100u << 1000u << false;
    QTest::newRow("another user's file in another group of the user's") << 1001u << 200u << 1000u << false;
}

void TestAtomicFile::ownerKeptOnlyWhereTheUserMayGiveIt() {
    QFETCH(unsigned, owner);
    QFETCH(unsigned, group);
    QFETCH(unsigned, user);
    QFETCH(bool, kept);
    const std::vector<unsigned> groups = user == 0 ? std::vector<unsigned>{0u} : std::vector<unsigned>{100u, 200u};
    QCOMPARE(atomicfile::ownerCanBeKept(owner, group, user, groups), kept);
}

QTEST_GUILESS_MAIN(TestAtomicFile)
#include "tst_atomicfile.moc"
