// The check before an export: which questions a loading's total brings, in order.

#include "core/export/PreExportCheck.h"

#include <QTest>

namespace {

// Each key's text shows where it went.
QString marker(const QString& key) {
    return QLatin1Char('<') + key + QLatin1Char('>');
}

QString fuel(const char* kg, const char* lbs) {
    return QStringLiteral("<strOnlyFuel_1>%1 kg (= %2 lbs) <strOnlyFuel_2>").arg(QLatin1String(kg), QLatin1String(lbs));
}

} // namespace

class TestPreExportCheck : public QObject {
    Q_OBJECT
private slots:
    void margins_data();
    void margins();
};

void TestPreExportCheck::margins_data() {
    QTest::addColumn<int>("total");
    QTest::addColumn<QStringList>("questions");
    const QString mtow = QStringLiteral("<strOverMTOW>! <strNoFuel>?");
    QTest::newRow("917 kg: margin 141, no question") << 917 << QStringList{};
    QTest::newRow("918 kg: margin 140, fuel question") << 918 << QStringList{fuel("140", "308")};
    QTest::newRow("1000 kg: margin 58") << 1000 << QStringList{fuel("58", "127")};
    QTest::newRow("1057 kg: margin 1, only the fuel question") << 1057 << QStringList{fuel("1", "2")};
    QTest::newRow("1058 kg: margin 0, both questions") << 1058 << QStringList{mtow, fuel("0", "0")};
    QTest::newRow("1100 kg: margin -42, pounds rounded down to -93") << 1100 << QStringList{mtow, fuel("-42", "-93")};
}

void TestPreExportCheck::margins() {
    QFETCH(int, total);
    QFETCH(QStringList, questions);
    QCOMPARE(preexport::questions(total, marker), questions);
}

QTEST_GUILESS_MAIN(TestPreExportCheck)
#include "tst_preexportcheck.moc"
