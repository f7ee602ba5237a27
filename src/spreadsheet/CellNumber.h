#pragma once

#include <QString>

namespace CellNumber
{

// A number cell's value as the engine hands it out: its plain form with up to 15 significant
// digits, the precision spreadsheets show (12, 12.5, 0.1 + 0.2 -> "0.3", 2500000); "0" for zero,
// minus zero, infinities and NaN.
QString Text(double value);

} // namespace CellNumber
