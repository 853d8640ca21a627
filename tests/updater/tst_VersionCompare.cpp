#include "VersionCompare.h"

#include <QtTest>

class TestVersionCompare : public QObject
{
    Q_OBJECT

private slots:
    void ordersByNumbers_data();
    void ordersByNumbers();
};

void TestVersionCompare::ordersByNumbers_data()
{
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("right");
    QTest::addColumn<int>("expected");

    QTest::newRow("equal") << "1.9.0"
                           << "1.9.0" << 0;
    QTest::newRow("two-digit minor is newer") << "1.10.0"
                                              << "1.9.0" << 1;
    QTest::newRow("two-digit patch is newer") << "1.4.10"
                                              << "1.4.2" << 1;
    QTest::newRow("two-digit major is newer") << "10.0.0"
                                              << "9.9.9" << 1;
    QTest::newRow("patch decides") << "1.4.1"
                                   << "1.4.2" << -1;
    QTest::newRow("major wins over minor") << "2.0.0"
                                           << "1.99.99" << 1;
    QTest::newRow("missing component is zero") << "1.9"
                                               << "1.9.0" << 0;
    QTest::newRow("extra component is newer") << "1.9.0.1"
                                              << "1.9.0" << 1;
    QTest::newRow("leading zeros") << "01.09.00"
                                   << "1.9.0" << 0;
    QTest::newRow("surrounding blanks") << " 1.9.0 "
                                        << "1.9.0" << 0;
    QTest::newRow("empty is older") << ""
                                    << "1.0.0" << -1;
}

void TestVersionCompare::ordersByNumbers()
{
    QFETCH(QString, left);
    QFETCH(QString, right);
    QFETCH(int, expected);

    QCOMPARE(qBound(-1, compareVersions(left, right), 1), expected);
    // The order must not depend on which side a version stands.
    QCOMPARE(qBound(-1, compareVersions(right, left), 1), -expected);
}

QTEST_APPLESS_MAIN(TestVersionCompare)
#include "tst_VersionCompare.moc"
