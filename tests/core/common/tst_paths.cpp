#include "core/common/LongPath.h"
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
    void extendedWindowsPath_data();
    void extendedWindowsPath();
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

void TestPaths::extendedWindowsPath_data() {
    // The form Windows' file calls take beyond 260 characters: what every file of the program is
    // opened, written and locked by there.
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("base"); // the current folder
    QTest::addColumn<QString>("expected");
    const QString here = QStringLiteral("C:/Merovan");
    QTest::newRow("a file on a drive") << R"(C:\FS2000\Aircraft\aircraft.cfg)" << here
                                       << R"(\\?\C:\FS2000\Aircraft\aircraft.cfg)";
    QTest::newRow("forward slashes, as Qt writes them")
        << QString::fromUtf8("C:/Users/Jürgen/Merovan/options.cfg") << here
        << QString::fromUtf8(R"(\\?\C:\Users\Jürgen\Merovan\options.cfg)");
    QTest::newRow("dots and two dots resolved, as the system would")
        << R"(C:\FS2000\Aircraft\nerova_tq58\..\..\.\Aircraft\shared\tq58.cfg)" << here
        << R"(\\?\C:\FS2000\Aircraft\shared\tq58.cfg)";
    QTest::newRow("two dots stop at the drive") << R"(C:\..\..\FS2000)" << here << R"(\\?\C:\FS2000)";
    QTest::newRow("repeated separators made one")
        << R"(C:\\FS2000//Aircraft\/x)" << here << R"(\\?\C:\FS2000\Aircraft\x)";
    QTest::newRow("a trailing separator goes") << R"(C:\FS2000\Aircraft\)" << here << R"(\\?\C:\FS2000\Aircraft)";
    QTest::newRow("but a drive's root keeps it") << "d:/" << here << R"(\\?\d:\)";
    QTest::newRow("trailing dots and spaces of the last name go, as the system drops them")
        << R"(C:\FS2000\aircraft.cfg. .)" << here << R"(\\?\C:\FS2000\aircraft.cfg)";
    QTest::newRow("a share, as Qt writes it")
        << "//nas/games/FS2000/aircraft.cfg" << here << R"(\\?\UNC\nas\games\FS2000\aircraft.cfg)";
    QTest::newRow("two dots stop at the share")
        << R"(\\nas\games\FS2000\..\..\Merovan)" << here << R"(\\?\UNC\nas\games\Merovan)";
    QTest::newRow("a share's root") << R"(\\nas\games)" << here << R"(\\?\UNC\nas\games\)";
    QTest::newRow("a server without a share is left for the system to refuse") << "//nas/" << here << R"(\\nas\)";
    QTest::newRow("a relative name from the current folder")
        << "Data/language.crf" << here << R"(\\?\C:\Merovan\Data\language.crf)";
    QTest::newRow("a relative name climbing out") << R"(..\FS2000\.\aircraft.cfg)"
                                                  << "C:/Games/Merovan/"
                                                  << R"(\\?\C:\Games\FS2000\aircraft.cfg)";
    QTest::newRow("from the root of the current drive") << R"(\FS2000\x.cfg)"
                                                        << "D:/Merovan"
                                                        << R"(\\?\D:\FS2000\x.cfg)";
    QTest::newRow("from the root of the current share") << "/FS2000"
                                                        << "//nas/games/Merovan"
                                                        << R"(\\?\UNC\nas\games\FS2000)";
    QTest::newRow("a drive without a separator: the current folder there")
        << "c:Data\\x" << here << R"(\\?\C:\Merovan\Data\x)";
    QTest::newRow("another drive without a separator: its root") << "D:FS2000" << here << R"(\\?\D:\FS2000)";
    QTest::newRow("already extended: kept as written") << R"(\\?\C:\a\..\b)" << here << R"(\\?\C:\a\..\b)";
    QTest::newRow("already extended, as Qt writes it") << "//?/UNC/nas/games/x" << here << R"(\\?\UNC\nas\games\x)";
    QTest::newRow("a device is kept") << R"(\\.\pipe\merovan)" << here << R"(\\.\pipe\merovan)";
    QTest::newRow("nothing stays nothing") << "" << here << "";
}

void TestPaths::extendedWindowsPath() {
    QFETCH(QString, path);
    QFETCH(QString, base);
    QFETCH(QString, expected);
    QCOMPARE(longpath::extended(path, base), expected);
}

QTEST_GUILESS_MAIN(TestPaths)
#include "tst_paths.moc"
