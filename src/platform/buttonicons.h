#pragma once

#include <QIcon>
#include <QProxyStyle>

namespace platform {

// The pictures on Korvane's buttons, drawn for Korvane and kept in its
// resources, so that they look the same on every desktop and no icon theme
// is searched for them.
enum class ButtonIcon { Play, Stop, Pause, Reset, AthleteView, Save, Open, List, Close };

// The picture, drawn at the size it is asked for when it is first asked for.
QIcon buttonIcon(ButtonIcon which);

// A PNG picture of the resources, read as PNG: by its name alone, Qt would
// first ask every image-format plugin (loading them, Qt SVG among them)
// whether it reads the file.
QImage pngPicture(const QString &path);

// The style's own extension arrow (SP_ToolBarHorizontalExtensionButton or
// SP_ToolBarVerticalExtensionButton) read as PNG from Qt's resources; null
// for any other picture, or when Qt has no such files.
QIcon extensionArrow(QStyle::StandardPixmap which, Qt::LayoutDirection direction);

// The application's style with the menu bar's and tool bars' extension
// arrows read straight from the style's own PNG pictures.  The style would
// add them to its icon by file name, and QIcon then asks every image-format
// plugin (the SVG one loads Qt SVG) whether it reads them, as the main
// window's menu bar is made; a desktop style may search the icon theme.
class ProgramStyle final : public QProxyStyle {
public:
    // Takes `base`; without one, the proxy makes the style the application
    // would have used when it is first needed.
    explicit ProgramStyle(QStyle *base = nullptr);

    QIcon standardIcon(StandardPixmap which, const QStyleOption *option = nullptr,
                       const QWidget *widget = nullptr) const override;
};

} // namespace platform
