// The button pictures: every one is drawn from the program's resources at
// the size asked for, in its normal and its greyed-out form.

#include "platform/buttonicons.h"

#include <QApplication>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTest>

#include <memory>

class TstButtonIcons : public QObject {
    Q_OBJECT
private slots:
    void drawnAtEverySize_data();
    void drawnAtEverySize();
    void extensionArrowsAreTheStylesOwn_data();
    void extensionArrowsAreTheStylesOwn();
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

// The extension arrows are the pictures the style itself would give, read
// without the plugin probe; other pictures are left to the style.
void TstButtonIcons::extensionArrowsAreTheStylesOwn_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<Qt::LayoutDirection>("direction");
    QTest::newRow("horizontal") << int(QStyle::SP_ToolBarHorizontalExtensionButton) << Qt::LeftToRight;
    QTest::newRow("horizontal, right to left") << int(QStyle::SP_ToolBarHorizontalExtensionButton) << Qt::RightToLeft;
    QTest::newRow("vertical") << int(QStyle::SP_ToolBarVerticalExtensionButton) << Qt::LeftToRight;
    QTest::newRow("left to the style") << int(QStyle::SP_ArrowUp) << Qt::LeftToRight;
}

void TstButtonIcons::extensionArrowsAreTheStylesOwn()
{
    QFETCH(int, which);
    QFETCH(Qt::LayoutDirection, direction);
    const auto pixmap = static_cast<QStyle::StandardPixmap>(which);
    const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
    QStyleOption option;
    option.direction = direction;
    const QIcon expected = fusion->standardIcon(pixmap, &option);
    const bool arrow = pixmap != QStyle::SP_ArrowUp;
    QCOMPARE(platform::extensionArrow(pixmap, direction).isNull(), !arrow);
    const QIcon own = platform::ProgramStyle(QStyleFactory::create(QStringLiteral("Fusion"))).standardIcon(pixmap, &option);
    QCOMPARE(own.availableSizes(), expected.availableSizes());
    for (const QSize &size : expected.availableSizes())
        QCOMPARE(own.pixmap(size).toImage(), expected.pixmap(size).toImage());
}

QTEST_MAIN(TstButtonIcons)
#include "tst_buttonicons.moc"
