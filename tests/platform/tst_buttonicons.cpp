// The button pictures: every one is drawn from the program's resources at
// the size asked for, in its normal and its greyed-out form.

#include "platform/buttonicons.h"

#include <QApplication>
#include <QTest>

class TstButtonIcons : public QObject {
    Q_OBJECT
private slots:
    void drawnAtEverySize_data();
    void drawnAtEverySize();
};

void TstButtonIcons::drawnAtEverySize_data()
{
    QTest::addColumn<int>("which");
    const char *names[] = {"play", "stop", "pause", "reset", "athlete view", "save", "open", "list", "close"};
    for (int i = 0; i <= static_cast<int>(platform::ButtonIcon::Close); ++i)
        QTest::newRow(names[i]) << i;
}

void TstButtonIcons::drawnAtEverySize()
{
    QFETCH(int, which);
    const QIcon icon = platform::buttonIcon(static_cast<platform::ButtonIcon>(which));
    QVERIFY(!icon.isNull());
    for (int side : {16, 28, 64}) {
        const QImage normal = icon.pixmap(QSize(side, side)).toImage();
        QCOMPARE(normal.size(), QSize(side, side));
        // Drawn: the middle of the picture holds paint, the corner none.
        int painted = 0;
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x)
                painted += qAlpha(normal.pixel(x, y)) > 0;
        QVERIFY2(painted > side * side / 8, qPrintable(QString::number(painted)));
        QCOMPARE(qAlpha(normal.pixel(0, 0)), 0);
        const QImage disabled = icon.pixmap(QSize(side, side), QIcon::Disabled).toImage();
        QVERIFY(disabled != normal);
    }
}

QTEST_MAIN(TstButtonIcons)
#include "tst_buttonicons.moc"
