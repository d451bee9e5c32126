#include "containers.h"

#include <cstdlib>
#include <iostream>

void MathError(int classCode, int errorCode, char ch) {
  std::cout.flush();
  std::cerr << "Runtime error " << classCode + errorCode << " ";
  switch (classCode) {
    case 100: std::cerr << "(class TVector):\n"; break;
    case 110: std::cerr << "(class TMatrix):\n"; break;
    default: std::cerr << "(unkwown class):\n"; break;
  }
  switch (errorCode) {
    case 1: std::cerr << "Bad argument for constructor.\n" << std::endl; break;
    case 2: std::cerr << "Index " << static_cast<char>('0' + ch) << " out of range.\n" << std::endl; break;
    case 3: std::cerr << "Incompatible operand for operator '" << ch << "'.\n" << std::endl; break;
    default: break;
  }
  std::cerr.flush();
  std::exit(1);
}
