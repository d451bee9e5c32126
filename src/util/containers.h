// Dense 1-based vector and matrix templates for int, float and double.
//
// Misuse (a size below 1, operands of unfitting shape) throws TMathError.
// Element access is a plain load; builds with KORVALIN_CHECK_INDEX defined
// check indices and report a bad one as runtime error code 2.
#pragma once

#include <istream>
#include <ostream>
#include <stdexcept>
#include <string>

#include "stdutils.h"

// A caller's misuse of a container: what() names it, as in "Runtime error
// 101 (class TVector): Bad argument for constructor."
class TMathError : public std::invalid_argument {
 public:
  explicit TMathError(const std::string& text) : std::invalid_argument(text) {}
};

// Throws the TMathError of class `classCode` (100 TVector, 110 TMatrix)
// and `errorCode`. `ch` is the operator character for code 3 and the index
// for code 2.
[[noreturn]] void MathError(int classCode, int errorCode, char ch);

namespace containers_detail {
// Scalar products differ by element type: int goes through float and
// truncates, float stays single precision, double widens the scalar.
inline int Scale(int e, float s) { return static_cast<int>(static_cast<float>(e) * s); }
inline float Scale(float e, float s) { return e * s; }
inline double Scale(double e, float s) { return e * static_cast<double>(s); }

// Sums and products stay in the element type; int wraps at 32 bits.
inline int Add(int a, int b) { return static_cast<int>(static_cast<unsigned>(a) + static_cast<unsigned>(b)); }
inline int Sub(int a, int b) { return static_cast<int>(static_cast<unsigned>(a) - static_cast<unsigned>(b)); }
template <class T>
T Add(T a, T b) { return a + b; }
template <class T>
T Sub(T a, T b) { return a - b; }

inline int MulAdd(int sum, int a, int b) {
  return static_cast<int>(static_cast<unsigned>(sum) + static_cast<unsigned>(a) * static_cast<unsigned>(b));
}
inline float MulAdd(float sum, float a, float b) { return sum + a * b; }
inline double MulAdd(double sum, double a, double b) { return sum + a * b; }
}  // namespace containers_detail

template <class T>
class TVector {
 public:
  T* Data;
  int Dim;

  TVector() : Data(nullptr), Dim(0) {}
  TVector(int n, T init) : Data(nullptr), Dim(0) {
    if (n < 1) MathError(100, 1, 0);
    Data = new T[n];
    Dim = n;
    for (int i = 0; i < n; i++) Data[i] = init;
  }
  TVector(const TVector<T>& v) : Data(nullptr), Dim(v.Dim) {
    if (Dim > 0) {
      Data = new T[Dim];
      for (int i = 0; i < Dim; i++) Data[i] = v.Data[i];
    }
  }
  TVector(TVector<T>&& v) noexcept : Data(v.Data), Dim(v.Dim) {
    v.Data = nullptr;
    v.Dim = 0;
  }
  virtual ~TVector() { delete[] Data; }

  TVector<T>& operator=(const TVector<T>& v) {
    if (this == &v) return *this;
    if (Dim != v.Dim) {
      delete[] Data;
      Data = v.Dim > 0 ? new T[v.Dim] : nullptr;
      Dim = v.Dim;
    }
    for (int i = 0; i < Dim; i++) Data[i] = v.Data[i];
    return *this;
  }
  TVector<T>& operator=(TVector<T>&& v) noexcept {
    if (this != &v) {
      delete[] Data;
      Data = v.Data;
      Dim = v.Dim;
      v.Data = nullptr;
      v.Dim = 0;
    }
    return *this;
  }

  T& operator[](int i) {
    CheckIndex(i);
    return Data[i - 1];
  }
  T operator[](int i) const {
    CheckIndex(i);
    return Data[i - 1];
  }
  int Dimension() const { return Dim; }

  Boolean operator==(const TVector<T>& v) const {
    if (Dim != v.Dim) return False;
    for (int i = 0; i < Dim; i++)
      if (!(Data[i] == v.Data[i])) return False;
    return True;
  }

  TVector<T> operator+(const TVector<T>& v) const {
    TVector<T> r(Dim, T(0));
    if (Dim != v.Dim) MathError(100, 3, '+');
    for (int i = 0; i < Dim; i++) r.Data[i] = containers_detail::Add(Data[i], v.Data[i]);
    return r;
  }
  TVector<T> operator-(const TVector<T>& v) const {
    TVector<T> r(Dim, T(0));
    if (Dim != v.Dim) MathError(100, 3, '-');
    for (int i = 0; i < Dim; i++) r.Data[i] = containers_detail::Sub(Data[i], v.Data[i]);
    return r;
  }
  TVector<T> operator*(float s) const {
    TVector<T> r(Dim, T(0));
    for (int i = 0; i < Dim; i++) r.Data[i] = containers_detail::Scale(Data[i], s);
    return r;
  }

  void ChangeDimension(int n) {
    TVector<T> r(n, T(0));
    int m = n < Dim ? n : Dim;
    for (int i = 0; i < m; i++) r.Data[i] = Data[i];
    *this = std::move(r);
  }

  // The first of several equal extremes wins; an empty vector is a caller error.
  T MaxValue(int& index) const {
    if (Dim < 1) MathError(100, 1, 0);
    index = 1;
    T best = Data[0];
    for (int p = 1; p <= Dim; p++)
      if (Data[p - 1] > best) {
        best = Data[p - 1];
        index = p;
      }
    return best;
  }
  T MinValue(int& index) const {
    if (Dim < 1) MathError(100, 1, 0);
    index = 1;
    T best = Data[0];
    for (int p = 1; p <= Dim; p++)
      if (Data[p - 1] < best) {
        best = Data[p - 1];
        index = p;
      }
    return best;
  }

 private:
  void CheckIndex([[maybe_unused]] int i) const {
#ifdef KORVALIN_CHECK_INDEX
    if (i < 1 || i > Dim) MathError(100, 2, static_cast<char>(i));
#endif
  }
};

template <class T>
class TMatrix {
 public:
  TVector<T>* RowVectors;
  int NumberOfRows;
  int NumberOfColumns;

  TMatrix() : RowVectors(nullptr), NumberOfRows(0), NumberOfColumns(0) {}
  TMatrix(int rows, int cols, T init) : RowVectors(nullptr), NumberOfRows(0), NumberOfColumns(0) {
    if (rows < 1 || cols < 1) MathError(110, 1, 0);
    Allocate(rows, cols, init);
  }
  TMatrix(const TMatrix<T>& m) : RowVectors(nullptr), NumberOfRows(0), NumberOfColumns(0) {
    if (m.NumberOfRows > 0) {
      Allocate(m.NumberOfRows, m.NumberOfColumns, T(0));
      for (int i = 0; i < NumberOfRows; i++) RowVectors[i] = m.RowVectors[i];
    }
  }
  virtual ~TMatrix() { Release(); }

  TMatrix<T>& operator=(const TMatrix<T>& m) {
    if (this == &m) return *this;
    if (NumberOfRows != m.NumberOfRows || NumberOfColumns != m.NumberOfColumns) {
      Release();
      if (m.NumberOfRows > 0) Allocate(m.NumberOfRows, m.NumberOfColumns, T(0));
    }
    for (int i = 0; i < NumberOfRows; i++) RowVectors[i] = m.RowVectors[i];
    return *this;
  }

  TVector<T>& operator[](int i) {
    CheckRow(i);
    return RowVectors[i - 1];
  }
  TVector<T> operator[](int i) const {
    CheckRow(i);
    return RowVectors[i - 1];
  }
  int Rows() const { return NumberOfRows; }
  int Columns() const { return NumberOfColumns; }

  Boolean operator==(const TMatrix<T>& m) const {
    if (NumberOfRows != m.NumberOfRows || NumberOfColumns != m.NumberOfColumns) return False;
    for (int i = 0; i < NumberOfRows; i++)
      if (!(RowVectors[i] == m.RowVectors[i])) return False;
    return True;
  }

  TMatrix<T> operator+(const TMatrix<T>& m) const {
    TMatrix<T> r(NumberOfRows, NumberOfColumns, T(0));
    if (NumberOfRows != m.NumberOfRows || NumberOfColumns != m.NumberOfColumns) MathError(110, 3, '+');
    for (int i = 0; i < NumberOfRows; i++)
      for (int j = 0; j < NumberOfColumns; j++)
        r.RowVectors[i].Data[j] = containers_detail::Add(RowVectors[i].Data[j], m.RowVectors[i].Data[j]);
    return r;
  }
  TMatrix<T> operator-(const TMatrix<T>& m) const {
    TMatrix<T> r(NumberOfRows, NumberOfColumns, T(0));
    if (NumberOfRows != m.NumberOfRows || NumberOfColumns != m.NumberOfColumns) MathError(110, 3, '-');
    for (int i = 0; i < NumberOfRows; i++)
      for (int j = 0; j < NumberOfColumns; j++)
        r.RowVectors[i].Data[j] = containers_detail::Sub(RowVectors[i].Data[j], m.RowVectors[i].Data[j]);
    return r;
  }
  TMatrix<T> operator*(const TMatrix<T>& m) const {
    if (NumberOfColumns != m.NumberOfRows) MathError(110, 3, '*');
    TMatrix<T> r(NumberOfRows, m.NumberOfColumns, T(0));
    for (int i = 0; i < NumberOfRows; i++)
      for (int j = 0; j < m.NumberOfColumns; j++) {
        T sum = T(0);
        for (int k = 0; k < NumberOfColumns; k++)
          sum = containers_detail::MulAdd(sum, RowVectors[i].Data[k], m.RowVectors[k].Data[j]);
        r.RowVectors[i].Data[j] = sum;
      }
    return r;
  }

  TVector<T> Column(int j) const {
    TVector<T> r(NumberOfRows, T(0));
    for (int i = 0; i < NumberOfRows; i++) r.Data[i] = RowVectors[i][j];
    return r;
  }
  void SetColumn(int j, const TVector<T>& v) {
    if (v.Dim != NumberOfRows) MathError(110, 3, 'S');
    for (int i = 0; i < NumberOfRows; i++) RowVectors[i][j] = v.Data[i];
  }

  void ChangeDimension(int rows, int cols) {
    TMatrix<T> r(rows, cols, T(0));
    int mr = rows < NumberOfRows ? rows : NumberOfRows;
    int mc = cols < NumberOfColumns ? cols : NumberOfColumns;
    for (int i = 0; i < mr; i++)
      for (int j = 0; j < mc; j++) r.RowVectors[i].Data[j] = RowVectors[i].Data[j];
    *this = r;
  }

 private:
  void Allocate(int rows, int cols, T init) {
    RowVectors = new TVector<T>[rows];
    for (int i = 0; i < rows; i++) RowVectors[i] = TVector<T>(cols, init);
    NumberOfRows = rows;
    NumberOfColumns = cols;
  }
  void Release() {
    delete[] RowVectors;
    RowVectors = nullptr;
    NumberOfRows = NumberOfColumns = 0;
  }
  void CheckRow([[maybe_unused]] int i) const {
#ifdef KORVALIN_CHECK_INDEX
    if (i < 1 || i > NumberOfRows) MathError(110, 2, static_cast<char>(i));
#endif
  }
};

template <class T>
std::ostream& operator<<(std::ostream& out, const TVector<T>& v) {
  for (int i = 0; i < v.Dim; i++) out << v.Data[i] << '\t';
  return out;
}

template <class T>
std::istream& operator>>(std::istream& in, TVector<T>& v) {
  for (int i = 0; i < v.Dim; i++) in >> v.Data[i];
  return in;
}

template <class T>
std::ostream& operator<<(std::ostream& out, const TMatrix<T>& m) {
  for (int i = 0; i < m.NumberOfRows; i++) out << m.RowVectors[i] << '\n';
  return out;
}

template <class T>
std::istream& operator>>(std::istream& in, TMatrix<T>& m) {
  for (int i = 0; i < m.NumberOfRows; i++) in >> m.RowVectors[i];
  return in;
}
