#pragma once

// Ends a start-up probe as soon as its window has been painted for the first
// time: the process leaves at once, without tearing anything down, so the
// time until it ends is the time until the window was on the screen.

#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <cstdlib>

class QuitAtFirstPaint : public QObject {
public:
    explicit QuitAtFirstPaint(QWidget *window)
        : QObject(window)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched == parent()) {
            // The paint and its flush to the screen end this turn of the
            // event loop; the process ends right after it.
            QTimer::singleShot(0, [] { std::_Exit(0); });
        }
        return false;
    }
};
