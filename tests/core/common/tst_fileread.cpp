// Reading a whole file, and sharing the bytes it was expected to hold.

#include "core/common/FileRead.h"
#include "support/Files.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestFileRead : public QObject {
    Q_OBJECT
private slots:
    void readsWhatTheFileHolds_data();
    void readsWhatTheFileHolds();
};

void TestFileRead::readsWhatTheFileHolds_data() {
    // What was expected: 200 KiB, more than three blocks of the comparison.
    QByteArray likely(200 * 1024, Qt::Uninitialized);
    for (qsizetype i = 0; i < likely.size(); ++i)
        likely[i] = char(i * 7 + i / 251);
    const auto changedAt = [&](qsizetype at) {
        QByteArray bytes = likely;
        bytes[at] = char(bytes[at] + 1);
        return bytes;
    };
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("the expected bytes: shared") << likely << likely;
    QTest::newRow("another first byte") << likely << changedAt(0);
    QTest::newRow("another last byte of the first block") << likely << changedAt(64 * 1024 - 1);
    QTest::newRow("another first byte of the second block") << likely << changedAt(64 * 1024);
    QTest::newRow("another last byte") << likely << changedAt(likely.size() - 1);
    QTest::newRow("a byte shorter") << likely << likely.left(likely.size() - 1);
    QTest::newRow("a byte longer") << likely << likely + 'x';
    QTest::newRow("empty, as expected") << QByteArray("") << QByteArray("");
}

void TestFileRead::readsWhatTheFileHolds() {
    QFETCH(QByteArray, expected);
    QFETCH(QByteArray, file);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("TQ58-161.mdl"));
    QVERIFY(testfiles::writeFile(path, file));

    QString reason;
    const std::optional<QByteArray> read = readWholeFile(path, &reason, &expected);
    QVERIFY2(read, qPrintable(reason));
    QCOMPARE(*read, file);
    // Only the expected bytes themselves are shared; anything else has memory of its own.
    if (!file.isEmpty())
        QCOMPARE(read->isSharedWith(expected), file == expected);
}

QTEST_GUILESS_MAIN(TestFileRead)
#include "tst_fileread.moc"
