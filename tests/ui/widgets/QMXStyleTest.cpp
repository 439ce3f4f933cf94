#include "QMXStyle.h"

#include <QStyleFactory>
#include <QTest>

// The application style changes exactly two answers of the Windows style.
class QMXStyleTest : public QObject
{
    Q_OBJECT

private slots:
    void changedAnswers();
    void forwardsTheRest_data();
    void forwardsTheRest();
};

void QMXStyleTest::changedAnswers()
{
    QMXStyle style;
    QVERIFY(style.baseStyle());
    QCOMPARE(style.baseStyle()->name(), QStringLiteral("windows"));
    QCOMPARE(style.styleHint(QStyle::SH_ItemView_PaintAlternatingRowColorsForEmptyArea), 1);
    QCOMPARE(style.pixelMetric(QStyle::PM_SmallIconSize), 32);
}

void QMXStyleTest::forwardsTheRest_data()
{
    QTest::addColumn<int>("metric");
    QTest::newRow("button margin") << int(QStyle::PM_ButtonMargin);
    QTest::newRow("default frame width") << int(QStyle::PM_DefaultFrameWidth);
    QTest::newRow("large icon size") << int(QStyle::PM_LargeIconSize);
    QTest::newRow("scroll bar extent") << int(QStyle::PM_ScrollBarExtent);
}

void QMXStyleTest::forwardsTheRest()
{
    QFETCH(int, metric);
    QMXStyle style;
    QScopedPointer<QStyle> windows(QStyleFactory::create(QStringLiteral("Windows")));
    QCOMPARE(style.pixelMetric(QStyle::PixelMetric(metric)), windows->pixelMetric(QStyle::PixelMetric(metric)));
}

QTEST_MAIN(QMXStyleTest)
#include "QMXStyleTest.moc"
