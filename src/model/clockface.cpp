#include "model/clockface.h"

#include <cmath>
#include <numbers>

QVector<QRect> clockFaceMarks(int w, int h)
{
    QVector<QRect> marks;
    const int cx = w / 2;
    const int cy = h / 2;
    const int r = 9 * w / 20;
    for (int i = 1; i <= 12; ++i) {
        const double a = i * 2 * std::numbers::pi / 12;
        const double x = r * std::cos(a) + cx;
        const double y = r * std::sin(a) + cy;
        const int left = static_cast<int>(std::trunc(x - 3));
        const int top = static_cast<int>(std::trunc(y - 3));
        const int right = static_cast<int>(std::trunc(x + 3));
        const int bottom = static_cast<int>(std::trunc(y + 3));
        marks << QRect(QPoint(left, top), QPoint(right, bottom));
    }
    return marks;
}
