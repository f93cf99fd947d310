#pragma once

// Writes to the clock window's displays that do nothing when the content is
// already there, so a tick that changes nothing repaints nothing.

#include <QColor>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>

namespace display {

inline void setText(QLabel *label, const QString &text)
{
    if (label->text() != text)
        label->setText(text);
}

inline void setText(QLineEdit *edit, const QString &text)
{
    if (edit->text() != text)
        edit->setText(text);
}

inline void setColour(QWidget *widget, const QColor &colour,
                      QPalette::ColorRole role = QPalette::Window)
{
    if (widget->palette().color(role) == colour && widget->autoFillBackground())
        return;
    QPalette p = widget->palette();
    p.setColor(role, colour);
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}

inline QColor colour(const QWidget *widget, QPalette::ColorRole role = QPalette::Window)
{
    return widget->palette().color(role);
}

inline void setShown(QWidget *widget, bool shown)
{
    if (widget->isHidden() == shown)
        widget->setVisible(shown);
}

} // namespace display
