#include "core/common/Numbers.h"

#include <QTest>

#include <cmath>

class TestNumbers : public QObject {
    Q_OBJECT
private slots:
    void readsTheNumberATextBeginsWith_data();
    void readsTheNumberATextBeginsWith();
    void toWhole_data();
    void toWhole();
    void plainAndSigned_data();
    void plainAndSigned();
    void pounds_data();
    void pounds();
};

void TestNumbers::readsTheNumberATextBeginsWith_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::newRow("whole") << "80" << 80.0;
    QTest::newRow("half") << "72.5" << 72.5;
    QTest::newRow("trailing letters") << "75abc" << 75.0;
    QTest::newRow("trailing kg") << "75kg" << 75.0;
    QTest::newRow("blank inside digits") << " 7 5" << 75.0;
    QTest::newRow("tab and line feed ignored") << "\t1\n2" << 12.0;
    QTest::newRow("negative") << "-20" << -20.0;
    QTest::newRow("plus sign") << "+7" << 7.0;
    QTest::newRow("sign then blank") << "- 5" << -5.0;
    QTest::newRow("exponent") << "1e3" << 1000.0;
    QTest::newRow("exponent with sign") << "25E-1" << 2.5;
    QTest::newRow("exponent without digits") << "4e" << 4.0;
    QTest::newRow("hex") << "&HFF" << 255.0;
    QTest::newRow("hex lower case") << "&hff" << 255.0;
    QTest::newRow("hex 16 bits is not negative") << "&HFFFF" << 65535.0;
    QTest::newRow("octal") << "&O17" << 15.0;
    QTest::newRow("octal stops at 8") << "&O178" << 15.0;
    QTest::newRow("ampersand alone") << "&" << 0.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("letters") << "abc" << 0.0;
    QTest::newRow("leading point") << ".5" << 0.5;
    QTest::newRow("second point ends") << "1.2.3" << 1.2;
    QTest::newRow("comma is no decimal point") << "7,5" << 7.0;
    QTest::newRow("arabic digit is no digit") << QString::fromUtf8("٣") << 0.0;
    QTest::newRow("total caption") << " 775" << 775.0;
    QTest::newRow("negative caption") << "-5" << -5.0;
    QTest::newRow("sign only") << "-" << 0.0;
    QTest::newRow("point only") << "." << 0.0;
}

void TestNumbers::readsTheNumberATextBeginsWith() {
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(num::numericValue(text), expected);
}

void TestNumbers::toWhole_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("fits");
    QTest::addColumn<int>("expected");
    QTest::newRow("72.5 to even 72") << 72.5 << true << 72;
    QTest::newRow("73.5 to even 74") << 73.5 << true << 74;
    QTest::newRow("-72.5 to even -72") << -72.5 << true << -72;
    QTest::newRow("0.5 to 0") << 0.5 << true << 0;
    QTest::newRow("1.5 to 2") << 1.5 << true << 2;
    QTest::newRow("72.6 up") << 72.6 << true << 73;
    QTest::newRow("-0.4 to 0") << -0.4 << true << 0;
    QTest::newRow("32767.4 fits") << 32767.4 << true << 32767;
    QTest::newRow("32767.5 overflows") << 32767.5 << false << 0;
    QTest::newRow("-32768.5 to even fits") << -32768.5 << true << -32768;
    QTest::newRow("-32769 overflows") << -32769.0 << false << 0;
    QTest::newRow("1e9 overflows") << 1e9 << false << 0;
    QTest::newRow("infinity overflows") << HUGE_VAL << false << 0;
    QTest::newRow("nan is no number") << std::nan("") << false << 0;
}

void TestNumbers::toWhole() {
    QFETCH(double, value);
    QFETCH(bool, fits);
    QFETCH(int, expected);
    const auto whole = num::toWhole(value);
    QCOMPARE(whole.has_value(), fits);
    if (fits)
        QCOMPARE(int(*whole), expected);
}

void TestNumbers::plainAndSigned_data() {
    QTest::addColumn<qint64>("value");
    QTest::addColumn<QString>("plain");
    QTest::addColumn<QString>("withSign");
    QTest::newRow("zero") << qint64(0) << "0"
                          << " 0";
    QTest::newRow("positive") << qint64(775) << "775"
                              << " 775";
    QTest::newRow("negative") << qint64(-5) << "-5"
                              << "-5";
    QTest::newRow("low end") << qint64(-32768) << "-32768"
                             << "-32768";
}

void TestNumbers::plainAndSigned() {
    QFETCH(qint64, value);
    QFETCH(QString, plain);
    QFETCH(QString, withSign);
    QCOMPARE(num::plainDigits(value), plain);
    QCOMPARE(num::signedForm(value), withSign);
}

void TestNumbers::pounds_data() {
    QTest::addColumn<double>("kg");
    QTest::addColumn<qint64>("lbs");
    QTest::newRow("80") << 80.0 << qint64(176);
    QTest::newRow("45 rounds down") << 45.0 << qint64(99);
    QTest::newRow("100") << 100.0 << qint64(220);
    QTest::newRow("140") << 140.0 << qint64(308);
    QTest::newRow("-42 towards minus infinity") << -42.0 << qint64(-93);
    QTest::newRow("0") << 0.0 << qint64(0);
}

void TestNumbers::pounds() {
    QFETCH(double, kg);
    QFETCH(qint64, lbs);
    QCOMPARE(num::kgToPounds(kg), lbs);
}

QTEST_GUILESS_MAIN(TestNumbers)
#include "tst_numbers.moc"
