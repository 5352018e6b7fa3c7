#include "core/common/Paths.h"

#include <QCoreApplication>
#include <QTest>

class TestPaths : public QObject {
    Q_OBJECT
private slots:
    void folderPart_data();
    void folderPart();
    void joinPath_data();
    void joinPath();
    void trailingSeparator_data();
    void trailingSeparator();
};

void TestPaths::folderPart_data() {
    // One algorithm, two contracts: GetPathName gives the empty text where there is no folder part,
    // GetPath_ gives none.
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("pathName");
    QTest::addColumn<std::optional<QString>>("path_");
    QTest::newRow("slashes") << "/fs/Aircraft/nerova_tq58/aircraft.cfg"
                             << "/fs/Aircraft/nerova_tq58/" << std::optional<QString>("/fs/Aircraft/nerova_tq58/");
    QTest::newRow("backslashes") << "C:\\FS2000\\fs2000.exe"
                                 << "C:\\FS2000\\" << std::optional<QString>("C:\\FS2000\\");
    QTest::newRow("Wine folder") << "/home/u/.wine/drive_c/FS2000/FS2000.EXE"
                                 << "/home/u/.wine/drive_c/FS2000/"
                                 << std::optional<QString>("/home/u/.wine/drive_c/FS2000/");
    QTest::newRow("mixed: the last one counts")
        << "C:\\FS2000/Aircraft\\x"
        << "C:\\FS2000/Aircraft\\" << std::optional<QString>("C:\\FS2000/Aircraft\\");
    QTest::newRow("root") << "/fs2000.exe"
                          << "/" << std::optional<QString>("/");
    QTest::newRow("ends with a separator: unchanged") << "C:\\FS\\"
                                                      << "C:\\FS\\" << std::optional<QString>("C:\\FS\\");
    QTest::newRow("no separator") << "fs2000.exe"
                                  << "" << std::optional<QString>();
    QTest::newRow("empty") << ""
                           << "" << std::optional<QString>();
}

void TestPaths::folderPart() {
    QFETCH(QString, path);
    QFETCH(QString, pathName);
    QFETCH(std::optional<QString>, path_);
    QCOMPARE(GetPathName(path), pathName);
    QCOMPARE(GetPath_(path), path_);
}

void TestPaths::joinPath_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("joined");
    QTest::newRow("folder with separator") << "/games/fs2000/"
                                           << "/games/fs2000/Aircraft";
    QTest::newRow("folder without separator") << "/games/fs2000"
                                              << "/games/fs2000/Aircraft";
    QTest::newRow("doubled separator") << "/games/fs2000//"
                                       << "/games/fs2000/Aircraft";
    QTest::newRow("root") << "/"
                          << "/Aircraft";
    QTest::newRow("empty") << ""
                           << "Aircraft";
#ifdef Q_OS_WIN
    QTest::newRow("Windows folder") << "C:\\FS2000\\"
                                    << "C:/FS2000/Aircraft";
#endif
}

void TestPaths::joinPath() {
    QFETCH(QString, folder);
    QFETCH(QString, joined);
    QCOMPARE(::joinPath(folder, QStringLiteral("Aircraft")), joined);
}

void TestPaths::trailingSeparator_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain folder") << "C:/Apps/Load"
                                  << "C:/Apps/Load/";
    QTest::newRow("drive root") << "C:/"
                                << "C:/";
    QTest::newRow("unix root") << "/"
                               << "/";
    QTest::newRow("native separator") << "C:\\Apps\\"
                                      << "C:\\Apps\\";
}

void TestPaths::trailingSeparator() {
    QFETCH(QString, folder);
    QFETCH(QString, expected);
    QCOMPARE(withTrailingSeparator(folder), expected);
    QCOMPARE(GetAppPath(), QCoreApplication::applicationDirPath() + QLatin1Char('/'));
}

QTEST_GUILESS_MAIN(TestPaths)
#include "tst_paths.moc"
