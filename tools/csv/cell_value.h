// Turning one cell of a table into a pattern value and a value back into
// pattern-file text.
#pragma once

#include <string>

// The value pattern files use for "no value": the smallest positive
// single-precision number, written as this text.
constexpr float MissingValueMarker = 1.4e-45f;
extern const char* const MissingValueText;

enum class TCellKind { Number, Missing, Invalid, OutOfRange };

// Reads a cell (surrounding blanks ignored). Empty cells and "NA", "?" and
// "NaN" in any letter case are missing. A number must fill the cell and fit
// a single-precision float; a magnitude too small for one becomes 0. With
// `decimalComma`, one ',' standing for the decimal point is accepted.
TCellKind ParseCell(const std::string& cell, bool decimalComma, float& value);

// True for the texts that ParseCell takes as a missing value.
bool IsMissingText(const std::string& trimmed);

// The shortest text that reads back as exactly `value`; the missing-value
// marker as MissingValueText.
std::string FormatValue(float value);
