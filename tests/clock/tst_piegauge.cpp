// The pie gauge repaints only the wedge a change of progress touches: every
// pixel that differs between two progress values lies in that area.

#include "clock/piegauge.h"

#include <QTest>

class TestPieGauge : public QObject {
    Q_OBJECT
private slots:
    void changedAreaHoldsEveryChangedPixel_data();
    void changedAreaHoldsEveryChangedPixel();
    void areaRepaintMatchesAWholeOne_data() { changedAreaHoldsEveryChangedPixel_data(); }
    void areaRepaintMatchesAWholeOne();
};

void TestPieGauge::changedAreaHoldsEveryChangedPixel_data()
{
    QTest::addColumn<int>("max");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<bool>("whole");   // the area is the whole gauge

    QTest::newRow("first tenth") << 50 << 0 << 1 << false;
    QTest::newRow("across three o'clock") << 50 << 12 << 13 << false;
    QTest::newRow("across six o'clock") << 50 << 24 << 26 << false;
    QTest::newRow("across nine o'clock") << 50 << 37 << 38 << false;
    QTest::newRow("to full") << 50 << 49 << 50 << false;
    QTest::newRow("backwards") << 50 << 30 << 29 << false;
    QTest::newRow("long set, one tenth") << 4000 << 1234 << 1235 << false;
    QTest::newRow("a wide sweep") << 50 << 3 << 40 << true;
    QTest::newRow("full to empty") << 50 << 50 << 0 << true;
}

void TestPieGauge::changedAreaHoldsEveryChangedPixel()
{
    QFETCH(int, max);
    QFETCH(int, from);
    QFETCH(int, to);
    PieGauge gauge;
    gauge.resize(129, 129);
    gauge.setMaxValue(max);
    gauge.setProgress(from);
    const QImage before = gauge.grab().toImage();
    gauge.setProgress(to);
    const QImage after = gauge.grab().toImage();

    const QRect area = PieGauge::changedArea(gauge.size(), max, from, to);
    int changed = 0;
    for (int y = 0; y < after.height(); ++y) {
        for (int x = 0; x < after.width(); ++x) {
            if (before.pixel(x, y) != after.pixel(x, y)) {
                ++changed;
                QVERIFY2(area.contains(x, y), qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
            }
        }
    }
    QVERIFY(changed > 0);
    QFETCH(bool, whole);
    QCOMPARE(area == gauge.rect(), whole);
}

// The gauge drawn whole at `from`, then only its changed area at `to`,
// against the gauge drawn whole at `to`.
void TestPieGauge::areaRepaintMatchesAWholeOne()
{
    QFETCH(int, max);
    QFETCH(int, from);
    QFETCH(int, to);
    PieGauge gauge;
    gauge.resize(129, 129);
    gauge.setMaxValue(max);
    gauge.setProgress(from);
    QImage image(gauge.size(), QImage::Format_RGB32);
    gauge.render(&image);
    gauge.setProgress(to);
    const QRect area = PieGauge::changedArea(gauge.size(), max, from, to);
    gauge.render(&image, area.topLeft(), QRegion(area));
    QImage whole(gauge.size(), QImage::Format_RGB32);
    gauge.render(&whole);
    int worst = 0;
    for (int y = 0; y < whole.height(); ++y) {
        for (int x = 0; x < whole.width(); ++x) {
            const QColor a = image.pixelColor(x, y);
            const QColor b = whole.pixelColor(x, y);
            worst = std::max({worst, std::abs(a.red() - b.red()), std::abs(a.green() - b.green()),
                              std::abs(a.blue() - b.blue())});
        }
    }
    // A shade of rounding where the pie's outline is cut; a stale or
    // misplaced part differs by far more.
    QVERIFY2(worst <= 2, qPrintable(QString::number(worst)));
}

QTEST_MAIN(TestPieGauge)
#include "tst_piegauge.moc"
