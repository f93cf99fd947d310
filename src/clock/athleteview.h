#pragma once

// The athlete view: a second window with the clock window's phase display in
// large type, for an athlete a few metres away.  It has no timer of its own;
// whoever runs the test feeds it with setDisplay().

#include "clock/athletedisplay.h"

#include <QFont>
#include <QHash>
#include <QImage>
#include <QList>
#include <QRect>
#include <QWidget>

// Where the athlete view opens.
struct AthletePlacement {
    int screen = 0;           // index into the screens given
    QRect geometry;
    bool fullScreen = false;  // frameless and full screen

    bool operator==(const AthletePlacement &) const = default;
};

// With two or more screens: full screen on the largest screen that the clock
// window is not on (the first of equals).  With one: a normal window of three
// quarters of the screen's width and height, centred on it.  `screens` are
// the usable areas of the screens, `clockScreen` the index of the clock
// window's screen (an index out of range counts as the first).
AthletePlacement athletePlacement(const QList<QRect> &screens, int clockScreen);

class QPainter;

class AthleteView : public QWidget {
    Q_OBJECT
public:
    // A window of its own even with a parent; with the clock window as its
    // parent it takes keys while that window is modal.
    explicit AthleteView(QWidget *parent = nullptr);

    const AthleteDisplay &display() const { return m_display; }
    // Repaints only the parts whose content changed.
    void setDisplay(const AthleteDisplay &display);

    // Opens the view where athletePlacement() puts it, relative to the screen
    // `clockWindow` is on.
    void openBeside(const QWidget *clockWindow);

    // The parts of the window, for tests and for the curious.
    QRect phaseRect() const { return laidOut().phaseRect; }
    QRect countdownRect() const { return laidOut().countdownRect; }
    QRect repetitionRect() const { return laidOut().repetitionRect; }
    QRect setRect() const { return laidOut().setRect; }
    QRect froBarRect() const { return laidOut().froRect; }
    QRect toBarRect() const { return laidOut().toRect; }
    QRect gaugeRect() const { return laidOut().gauge; }
    // The countdown's type as painted now.
    QFont countdownFont() const;

    static QString repetitionText(const AthleteDisplay &display);
    static QString setText(const AthleteDisplay &display);

signals:
    void startRequested();    // F5
    void stopRequested();     // F6
    void breakRequested();    // F7
    void cancelRequested();   // F8
    void closed();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // Where each part lies for the window's present size.  A hidden window
    // gets no resize events, so the parts are laid out when first asked for.
    struct Parts {
        QSize size;
        QRect phaseRect, countdownRect, repetitionRect, setRect, froRect, toRect;
        QRect froArrow, toArrow, gauge;
    };
    const Parts &laidOut() const;
    void paintArea(QPainter &painter, const QRect &area);
    static int barFill(double share, const QRect &trough);
    static QRegion barChange(const QRect &trough, double from, double to, bool down);
    static QRegion gaugeChange(const QRect &gauge, const AthleteDisplay &from, const AthleteDisplay &to);
    const QImage &gaugeFace(const QRect &gauge) const;

    // One character of the countdown: where it is drawn and what it inks.
    struct Cell {
        QChar character;
        QRectF box;    // its ink
        QPointF pen;   // start of its baseline
    };
    QList<Cell> countdownCells(const QString &text) const;
    QFont fitted(const QString &text, const QSizeF &box, bool inked) const;
    // `background` invalid: a transparent image, blended where it is drawn;
    // valid: an opaque one on that colour, copied without blending.
    const QImage &textImage(const QString &text, const QFont &font, const QColor &colour,
                            const QColor &background = {}) const;
    static double textPad(const QFont &font);
    void drawText(QPainter &painter, const QPointF &pen, const QString &text, const QFont &font,
                  const QColor &colour, const QColor &background = {}) const;

    AthleteDisplay m_display;
    mutable Parts m_parts;
    mutable QHash<QString, QImage> m_texts;   // rendered texts, see textImage()
    mutable QHash<QString, QFont> m_fonts;
    mutable QHash<QString, QList<Cell>> m_cells;   // countdown cells by text, for the present size
    mutable QImage m_face;   // the gauge without its pie
};
