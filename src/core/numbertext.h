#pragma once

// Whole and decimal numbers as the program reads and writes them in its
// fields: whole numbers with an optional sign and "$"/"x"/"0x" hexadecimal,
// decimals with the decimal comma.

#include <QString>
#include <cstdint>
#include <optional>

// Leading blanks, one sign, then decimal digits, or "$", "x" or "0x" and
// hexadecimal digits; nothing after them.  Fails on an empty text, any other
// character and values outside 32 bits.
std::optional<std::int32_t> tryTextToInt(const QString &text);
// As tryTextToInt; a failure throws a core::Failure (NotAWholeNumber) with the message
// "'<text>' ist kein gültiger Integerwert".
std::int32_t textToInt(const QString &text);

// A decimal number with the decimal comma: blanks around it, one sign, digits
// with at most one comma, and an optional exponent ("1,5E3").
std::optional<double> tryTextToFloat(const QString &text);
// As tryTextToFloat; a failure throws core::Failure with the
// message "'<text>' ist kein gültiger Gleitkommawert".
double textToFloat(const QString &text);

// The shortest form with at most 15 significant digits, a decimal comma and no
// trailing zeros: "20", "20,5", "-0,4".  Very large or small magnitudes take an
// exponent ("1E15", "1,5E-6").
QString floatToText(double value);
