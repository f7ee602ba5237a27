#pragma once

#include <QString>
#include <QStringView>
#include <array>

// The one way amounts and quantities are read from and written to their texts.
namespace NumberText
{

// Empty or non-numeric text reads as 0; surrounding blanks are ignored.
double Read(const QString& text);

// Double precision with up to 15 significant digits: 37.5 -> "37.5", 0.1 + 0.2 -> "0.3",
// 2500000 -> "2500000".
QString Write(double value);

// The fewest decimal places of the decimal, of at most six places and fifteen digits, whose
// nearest double `value` is; -1 when there is none (a third, or most products of such decimals).
int DecimalPlaces(double value);

// The nearest double to `value` rounded to `places` (0-6) decimal places.
double RoundToPlaces(double value, int places);

// True when the text is empty or reads as a number (what a number cell accepts).
bool IsNumberOrEmpty(const QString& text);

// Room for any text Write gives: fifteen digits, point, sign and an exponent such as "e-300".
using TextBuffer = std::array<char16_t, 32>;
// The text Write(value) gives, put into `buffer`: for a short decimal without any allocation.
QStringView Write(double value, TextBuffer& buffer);

// What the text `Write(value)` reads as, without making the text: a figure that is recomputed
// many times goes on from the value its text would show.
double ReadBack(double value);

} // namespace NumberText
