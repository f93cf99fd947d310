#include "platform/buttonicons.h"

#include <QApplication>
#include <QHash>
#include <QIconEngine>
#include <QImageReader>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>

static void initResources()
{
    Q_INIT_RESOURCE(buttons);
}

namespace platform {
namespace {

// Draws one SVG picture of the resources through the SVG image reader: a
// QIcon made from the file name would first look for an icon-engine plugin
// by the file's suffix, and linking the SVG renderer would load it with
// every start, while the first button is drawn after the main window.
class SvgButtonEngine final : public QIconEngine {
public:
    explicit SvgButtonEngine(QString path)
        : m_path(std::move(path))
    {
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal scale = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap picture = pixmap(rect.size() * scale, mode, state);
        picture.setDevicePixelRatio(scale);
        painter->drawPixmap(rect.topLeft(), picture);
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State) override
    {
        // A square picture, as large as fits.
        const int side = std::min(size.width(), size.height());
        if (side <= 0)
            return QPixmap();
        const quint64 key = (quint64(side) << 8) | quint64(mode);
        const auto found = m_drawn.constFind(key);
        if (found != m_drawn.constEnd())
            return *found;
        initResources();
        QImageReader reader(m_path, "svg");
        reader.setScaledSize(QSize(side, side));
        QPixmap picture = QPixmap::fromImage(reader.read());
        if (picture.isNull()) {
            // No SVG reader installed: an empty square rather than none.
            picture = QPixmap(side, side);
            picture.fill(Qt::transparent);
        }
        if (mode != QIcon::Normal && mode != QIcon::Active && qApp) {
            QStyleOption option;
            option.palette = QApplication::palette();
            picture = QApplication::style()->generatedIconPixmap(mode, picture, &option);
        }
        m_drawn.insert(key, picture);
        return picture;
    }

    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        const int side = std::min(size.width(), size.height());
        return QSize(side, side);
    }

    QIconEngine *clone() const override { return new SvgButtonEngine(m_path); }
    QString key() const override { return QStringLiteral("KorvaneSvgButton"); }
    bool isNull() override { return m_path.isEmpty(); }

private:
    QString m_path;
    QHash<quint64, QPixmap> m_drawn;   // by side and mode
};

} // namespace

QIcon buttonIcon(ButtonIcon which)
{
    static const char *const files[] = {"play", "stop", "pause", "reset", "athleteview", "save", "open", "list", "close"};
    return QIcon(new SvgButtonEngine(QStringLiteral(":/korvane/buttons/%1.svg")
                                         .arg(QLatin1String(files[static_cast<int>(which)]))));
}

ProgramStyle::ProgramStyle(QStyle *base)
    : QProxyStyle(base)
{
}

QImage pngPicture(const QString &path)
{
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

QIcon extensionArrow(QStyle::StandardPixmap which, Qt::LayoutDirection direction)
{
    QString name;
    QList<int> sizes;
    if (which == QStyle::SP_ToolBarHorizontalExtensionButton) {
        name = direction == Qt::RightToLeft ? QStringLiteral("toolbar-ext-h-rtl-%1.png")
                                            : QStringLiteral("toolbar-ext-h-%1.png");
        sizes = {8, 16, 32};
    } else if (which == QStyle::SP_ToolBarVerticalExtensionButton) {
        name = QStringLiteral("toolbar-ext-v-%1.png");
        sizes = {5, 10, 20};
    }
    QIcon icon;
    for (int size : sizes) {
        const QImage picture = pngPicture(QStringLiteral(":/qt-project.org/styles/commonstyle/images/") + name.arg(size));
        if (!picture.isNull())
            icon.addPixmap(QPixmap::fromImage(picture));
    }
    return icon;
}

QIcon ProgramStyle::standardIcon(StandardPixmap which, const QStyleOption *option, const QWidget *widget) const
{
    const Qt::LayoutDirection direction =
        option ? option->direction : (widget ? widget->layoutDirection() : QGuiApplication::layoutDirection());
    const QIcon arrow = extensionArrow(which, direction);
    return arrow.isNull() ? QProxyStyle::standardIcon(which, option, widget) : arrow;
}

} // namespace platform
