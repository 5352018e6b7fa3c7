#include "core/common/FieldReader.h"

#include <QTest>

class TestFieldReader : public QObject {
    Q_OBJECT
private slots:
    void splitsLinesAndCommasIntoFields_data();
    void splitsLinesAndCommasIntoFields();
    void firstNumber_data();
    void firstNumber();
    void writtenForms();
};

void TestFieldReader::splitsLinesAndCommasIntoFields_data() {
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QList<QByteArray>>("expected");
    using L = QList<QByteArray>;
    QTest::newRow("one line with CR LF") << QByteArray("C:\\FS2000\\\r\n") << L{"C:\\FS2000\\"};
    QTest::newRow("comma ends a field") << QByteArray("D:\\A,B\\\r\n") << L{"D:\\A", "B\\"};
    QTest::newRow("leading blanks skipped") << QByteArray("   x  ,  y") << L{"x  ", "y"};
    QTest::newRow("quoted field keeps comma") << QByteArray("\"a,b\",c") << L{"a,b", "c"};
    QTest::newRow("text after closing quote dropped") << QByteArray("\"a\"zz,c") << L{"a", "c"};
    QTest::newRow("unclosed quote runs to end") << QByteArray("\"abc") << L{"abc"};
    QTest::newRow("lines of LF only") << QByteArray("a\nb\n") << L{"a", "b"};
    QTest::newRow("lone CR ends a line") << QByteArray("a\rb") << L{"a", "b"};
    QTest::newRow("empty line gives empty field") << QByteArray("a\r\n\r\nb") << L{"a", "", "b"};
    QTest::newRow("title line") << QByteArray("title=TQ 58, red\r\nsim=x") << L{"title=TQ 58", "red", "sim=x"};
}

void TestFieldReader::splitsLinesAndCommasIntoFields() {
    QFETCH(QByteArray, data);
    QFETCH(QList<QByteArray>, expected);
    FieldReader reader(data);
    QList<QByteArray> got;
    while (!reader.atEnd() && got.size() < 100)
        got.append(reader.next());
    QCOMPARE(got, expected);
}

void TestFieldReader::firstNumber_data() {
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("expected"); // -99999: not a number
    QTest::newRow("written form 1") << QByteArray(" 1 \r\n") << 1;
    QTest::newRow("bare 1") << QByteArray("1") << 1;
    QTest::newRow("1 with blanks, no line end") << QByteArray("   1   ") << 1;
    QTest::newRow("0") << QByteArray(" 0 \r\n") << 0;
    QTest::newRow("2") << QByteArray("2\r\n") << 2;
    QTest::newRow("negative") << QByteArray("-1") << -1;
    QTest::newRow("comma ends") << QByteArray("1,5") << 1;
    QTest::newRow("letters") << QByteArray("abc") << -99999;
    QTest::newRow("digits then letters") << QByteArray("1x") << -99999;
    QTest::newRow("too big") << QByteArray("40000") << -99999;
    QTest::newRow("empty") << QByteArray("") << -99999;
    QTest::newRow("decimal") << QByteArray("1.0") << -99999;
}

void TestFieldReader::firstNumber() {
    QFETCH(QByteArray, data);
    QFETCH(int, expected);
    const auto value = firstNumberField(data);
    QCOMPARE(value.has_value() ? int(*value) : -99999, expected);
}

void TestFieldReader::writtenForms() {
    QCOMPARE(numberLine(0), QByteArray(" 0 \r\n"));
    QCOMPARE(numberLine(-3), QByteArray("-3 \r\n"));
    QCOMPARE(textLine(QStringLiteral("D:/Games/FS2000/")), QByteArray("D:/Games/FS2000/\r\n"));
    QCOMPARE(firstTextField(textLine(QStringLiteral("D:/Games,FS/"))), QStringLiteral("D:/Games"));
    // A folder outside the Western code page is kept where the system writes UTF-8; one written
    // in that code page before is read as written.
    if (systemEncodingIsUtf8()) {
        QCOMPARE(firstTextField(textLine(QStringLiteral("D:/Łódź/Počítač/"))), QStringLiteral("D:/Łódź/Počítač/"));
        QCOMPARE(firstTextField("D:\\Spiele \xDC\\FS\r\n"), QStringLiteral("D:\\Spiele Ü\\FS"));
    }
}

QTEST_GUILESS_MAIN(TestFieldReader)
#include "tst_fieldreader.moc"
