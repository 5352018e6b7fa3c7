#include "core/settings/Texts.h"
#include "support/TestProgramFolder.h"

#include <QTemporaryDir>
#include <QTest>

class TestTexts : public QObject {
    Q_OBJECT
private slots:
    void everyDetailInItsPlace_data();
    void everyDetailInItsPlace();
};

void TestTexts::everyDetailInItsPlace_data() {
    QTest::addColumn<QString>("text"); // the message's text in the language database
    QTest::addColumn<QStringList>("details");
    QTest::addColumn<bool>("own"); // worded as the options window words it
    QTest::addColumn<QString>("expected");
    QTest::newRow("a message with four details shows the fourth")
        << "Copy %1 of %2 from %3 to %4." << QStringList{"a", "b", "c", "d"} << false << "Copy a of b from c to d.";
    QTest::newRow("a %2 in a folder's name stays in the options window's message")
        << "The folder %1 cannot be written (%2)." << QStringList{"C:\\Spiele%2\\FS2000", "denied"} << true
        << "The folder C:\\Spiele%2\\FS2000 cannot be written (denied).";
}

void TestTexts::everyDetailInItsPlace() {
    QFETCH(QString, text);
    QFETCH(QStringList, details);
    QFETCH(bool, own);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString database = dir.filePath(QStringLiteral("language.crf"));
    QVERIFY(runSql(database, ("CREATE TABLE Entry (Variable TEXT, Wert TEXT);"
                              "INSERT INTO Entry VALUES ('strProbe', '" +
                              text.toUtf8() + "');")
                                 .constData()));
    const Texts texts(database);
    const MessagePart part{QStringLiteral("strProbe"), details};
    QCOMPARE(own ? texts.ownMessage(part) : texts.message(part.key, part.details), expected);
}

QTEST_GUILESS_MAIN(TestTexts)
#include "tst_texts.moc"
