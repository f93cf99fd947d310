#pragma once

// The geometry of the clock face drawn over the pie gauge.

#include <QRect>
#include <QVector>

// The twelve hour marks of the clock face over a gauge of w x h pixels.
QVector<QRect> clockFaceMarks(int width, int height);
