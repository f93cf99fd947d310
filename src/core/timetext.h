#pragma once

// Time values and their text forms.  Times are whole milliseconds in signed
// 32-bit integers; the texts are fixed-width (hh:mm:ss,cc and hh:mm:ss,mmm).
// All functions are pure and never fail: a field that cannot be read counts 0.

#include <QString>
#include <QTime>
#include <cstdint>

// Milliseconds since midnight of a local date-time given as days and fraction
// of a day (the fraction is taken to the nearest millisecond).
std::int32_t TimeOfDayMs(double dateTime);
std::int32_t TimeOfDayMs(const QTime &time);

// hh:mm:ss,mmm; a negative value has its first character replaced by "-".
QString MsToText(std::int32_t ms);
// Reads a typed duration (seconds, m:ss, or a full time text) as milliseconds.
std::int32_t TextToMs(const QString &text);
// hh:mm:ss,cc of a hundredths count.
QString HundredthsToText(std::int32_t hundredths);
// Decimal digits of `value`, "0"-padded on the left to `width`; never cut.
QString ZeroPad(std::int64_t value, int width);
// Reads a text by the fixed positions of the time text, aligned on its
// decimal separator.
std::int32_t TextToHundredths(const QString &text);
// 1-based position of the last "," or "."; 0 if there is none.
int LastDecimalSeparator(const QString &text);

// The display cuts of a millisecond text.
QString ClockCut(const QString &msText);    // hh:mm:ss (more hour digits from 100 hours)
QString SecondsCut(const QString &msText);  // ss,t
// Deletes one leading "0", if there is one.
QString DropLeadingZero(const QString &text);

// The displays' shorthands: clock cut / seconds cut of a millisecond count,
// and the same with one leading zero removed.
QString ClockText(std::int64_t ms);
QString CountdownSeconds(std::int32_t ms);
QString CountdownClock(std::int32_t ms);
