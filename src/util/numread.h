// Number tokens read from text streams for the file readers.
//
// Both readers take the same tokens and leave the same stream states as the
// standard extraction operators: leading white space is skipped, the longest
// prefix that fits the number grammar is consumed, the end of input sets
// eofbit, and a malformed token or no token at all sets failbit. They read
// straight from the stream buffer, so after a failure `in.clear()` and
// `in.tellg()` give the offset just past the characters taken, which is what
// PrintErrorLine needs to name the line.
#pragma once

#include <istream>

// A decimal float: [+-]digits[.digits][(e|E)[+-]digits], at least one
// mantissa digit. The value is the correctly rounded float of the text;
// values below the float range round to the nearest denormal or to zero
// without a failure (so "1.4e-45" gives the denormal with bit pattern
// 0x00000001). Values beyond the float range, hexadecimal forms, "inf" and
// "nan" fail. On failure `value` is 0.
bool ReadFloat(std::istream& in, float& value);

// A decimal int: [+-]digits. A value outside the int range fails and
// `value` becomes the nearest int limit; other failures give 0.
bool ReadInt(std::istream& in, int& value);

// Lines of numbers. A line ends at its newline, at a '#' or '%' comment or
// at the end of input; none of these is taken.

// Skips blanks up to the next field; true when the line ends there.
bool LineEnds(std::istream& in);

// Whether a number begins at the next field of the line: a digit or a sign.
bool NumberFollows(std::istream& in);

// Takes the fields left on the line (blank-separated) and counts them.
int FieldsLeft(std::istream& in);

// Reads the fields of one line, field k by `read(k)` for k < `count`, the
// first after any white space. Returns how many fields the line holds, so
// `count` when exactly those (with `rest` false the rest of the line is
// not looked at), or -1 when a read failed the stream.
template <class Read>
int ReadLine(std::istream& in, int count, Read read, bool rest = true) {
  for (int k = 0; k < count; k++) {
    if (k > 0 && LineEnds(in)) return k;
    if (!read(k)) return -1;
  }
  return rest ? count + FieldsLeft(in) : count;
}
