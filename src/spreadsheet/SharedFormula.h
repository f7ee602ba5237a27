#pragma once

#include <QString>

// The formulas of a shared formula group: every cell's formula is the group's first formula with
// its relative references moved by the cell's distance from the first cell.
namespace SharedFormula
{

// Moves the relative cell, column and row references of an A1-style formula by `rows` and
// `columns`; "$"-anchored parts stay. A reference moved off the sheet becomes "#REF!".
QString Shift(const QString& formula, int rows, int columns);

} // namespace SharedFormula
