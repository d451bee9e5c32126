#include "containers.h"

#include <sstream>

void MathError(int classCode, int errorCode, char ch) {
  std::ostringstream text;
  text << "Runtime error " << classCode + errorCode << " ";
  switch (classCode) {
    case 100: text << "(class TVector): "; break;
    case 110: text << "(class TMatrix): "; break;
    default: text << "(unkwown class): "; break;
  }
  switch (errorCode) {
    case 1: text << "Bad argument for constructor."; break;
    case 2: text << "Index " << static_cast<char>('0' + ch) << " out of range."; break;
    case 3: text << "Incompatible operand for operator '" << ch << "'."; break;
    default: break;
  }
  throw TMathError(text.str());
}
