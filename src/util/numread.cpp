#include "numread.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "stdutils.h"

namespace {

using Traits = std::char_traits<char>;

// Longer number texts are rejected rather than buffered without bound.
constexpr int kMaxToken = 1000;

inline bool IsSpace(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
inline bool IsDigit(int c) { return c >= '0' && c <= '9'; }

// Skips white space and returns the buffer positioned at the token, or null
// with the stream failed when there is none.
std::streambuf* BeginToken(std::istream& in) {
  if (!in.good()) {
    in.setstate(std::ios::failbit);
    return nullptr;
  }
  std::streambuf* sb = in.rdbuf();
  if (sb == nullptr) {
    in.setstate(std::ios::badbit);
    return nullptr;
  }
  int c = sb->sgetc();
  while (c != Traits::eof() && IsSpace(c)) c = sb->snextc();
  if (c == Traits::eof()) {
    in.setstate(std::ios::eofbit | std::ios::failbit);
    return nullptr;
  }
  return sb;
}

// Collects token characters; counts what does not fit so that an overlong
// token can be refused after it has been consumed.
class TToken {
 public:
  explicit TToken(std::streambuf* sb) : Sb(sb), C(sb->sgetc()) {}
  int Peek() const { return C; }
  void Take() {
    if (Length < kMaxToken)
      Text[Length++] = static_cast<char>(C);
    else
      Overlong = true;
    C = Sb->snextc();
  }
  // True when at least one digit was taken.
  bool TakeDigits() {
    bool any = false;
    for (; IsDigit(C); any = true) Take();
    return any;
  }
  // Takes an optional sign; true for '-'.
  bool TakeSign() {
    if (C != '+' && C != '-') return false;
    bool negative = C == '-';
    Take();
    return negative;
  }
  // The state the token leaves: eofbit when it ran into the end of input.
  std::ios::iostate EndState() const { return C == Traits::eof() ? std::ios::eofbit : std::ios::goodbit; }
  bool Fits() const { return !Overlong; }
  const char* Begin() const { return Text; }
  const char* End() const { return Text + Length; }
  // strtof wants a terminated copy; only the rare out-of-range path uses it.
  const char* CString() {
    Text[Length] = '\0';
    return Text;
  }

 private:
  std::streambuf* Sb;
  int C;
  int Length = 0;
  bool Overlong = false;
  char Text[kMaxToken + 1];
};

bool Fail(std::istream& in, std::ios::iostate state) {
  in.setstate(state | std::ios::failbit);
  return false;
}

// A stream buffer may throw on a read error (file buffers do); that
// leaves the stream bad, as the stream's own extractions would.
template <class TRead>
bool Guarded(std::istream& in, TRead read) {
  try {
    return read();
  } catch (...) {
    in.setstate(std::ios::badbit);
    return false;
  }
}

// The next character of the line after blanks, not taken; eof when the
// stream is not good or its buffer throws (which sets badbit).
int NextOnLine(std::istream& in) {
  std::streambuf* sb = in.rdbuf();
  if (!in.good() || sb == nullptr) return Traits::eof();
  int c = Traits::eof();
  const bool read = Guarded(in, [&] {
    c = sb->sgetc();
    while (c != '\n' && c != Traits::eof() && IsSpace(c)) c = sb->snextc();
    return true;
  });
  return read ? c : Traits::eof();
}

bool ReadFloatFrom(std::istream& in, float& value) {
  std::streambuf* sb = BeginToken(in);
  if (sb == nullptr) return false;
  TToken tok(sb);
  const bool negative = tok.TakeSign();
  bool mantissa = tok.TakeDigits();
  if (tok.Peek() == '.') {
    tok.Take();
    mantissa = tok.TakeDigits() || mantissa;
  }
  bool exponentOk = true;
  if (mantissa && (tok.Peek() == 'e' || tok.Peek() == 'E')) {
    tok.Take();
    tok.TakeSign();
    exponentOk = tok.TakeDigits();
  }
  const std::ios::iostate state = tok.EndState();
  if (!mantissa || !exponentOk || !tok.Fits()) return Fail(in, state);
  // from_chars takes no '+' and is correctly rounded; it reports both
  // overflow and underflow as out of range without giving a value.
  const char* first = tok.Begin();
  if (*first == '+') first++;
  float v = 0.0f;
  std::from_chars_result r = std::from_chars(first, tok.End(), v, std::chars_format::general);
  if (r.ec == std::errc::result_out_of_range) {
    // strtof tells overflow (infinity) from underflow (zero).
    if (std::isinf(std::strtof(tok.CString(), nullptr))) return Fail(in, state);
    v = negative ? -0.0f : 0.0f;
  } else if (r.ec != std::errc() || r.ptr != tok.End()) {
    return Fail(in, state);
  }
  value = v;
  in.setstate(state);
  return true;
}

bool ReadIntFrom(std::istream& in, int& value) {
  std::streambuf* sb = BeginToken(in);
  if (sb == nullptr) return false;
  TToken tok(sb);
  const bool negative = tok.TakeSign();
  // Accumulate the magnitude, saturating once it is beyond any int.
  const long long limit = static_cast<long long>(INT_MAX) + 1;
  long long magnitude = 0;
  bool digits = false;
  for (; IsDigit(tok.Peek()); digits = true) {
    if (magnitude <= limit) magnitude = magnitude * 10 + (tok.Peek() - '0');
    tok.Take();
  }
  const std::ios::iostate state = tok.EndState();
  if (!digits) return Fail(in, state);
  if (negative ? magnitude > limit : magnitude > INT_MAX) {
    value = negative ? INT_MIN : INT_MAX;
    return Fail(in, state);
  }
  value = static_cast<int>(negative ? -magnitude : magnitude);
  in.setstate(state);
  return true;
}

}  // namespace

bool LineEnds(std::istream& in) {
  const int c = NextOnLine(in);
  return c == Traits::eof() || c == '\n' || IsCommentChar(c);
}

bool NumberFollows(std::istream& in) {
  const int c = NextOnLine(in);
  return IsDigit(c) || c == '+' || c == '-';
}

int FieldsLeft(std::istream& in) {
  int fields = 0;
  for (; !LineEnds(in); fields++) {
    Guarded(in, [&] {
      std::streambuf* sb = in.rdbuf();
      for (int c = sb->sgetc(); c != Traits::eof() && !IsSpace(c); c = sb->snextc()) {
      }
      return true;
    });
  }
  return fields;
}

bool ReadFloat(std::istream& in, float& value) {
  value = 0.0f;
  return Guarded(in, [&] { return ReadFloatFrom(in, value); });
}

bool ReadInt(std::istream& in, int& value) {
  value = 0;
  return Guarded(in, [&] { return ReadIntFrom(in, value); });
}
