#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <sstream>

#include "containers.h"

namespace {

template <class T>
TVector<T> Vec(std::initializer_list<T> values) {
  TVector<T> v(static_cast<int>(values.size()), T(0));
  int i = 1;
  for (T x : values) v[i++] = x;
  return v;
}

template <class T>
TMatrix<T> Mat(int rows, int cols, std::initializer_list<T> values) {
  TMatrix<T> m(rows, cols, T(0));
  auto it = values.begin();
  for (int i = 1; i <= rows; i++)
    for (int j = 1; j <= cols; j++) m[i][j] = *it++;
  return m;
}

// The whole of standard error, so nothing stray passes.
std::string Exact(const std::string& code, const std::string& cls, const std::string& reason) {
  return "^Runtime error " + code + " \\(class " + cls + "\\):\n" + reason + "\n\n$";
}

}  // namespace

TEST(TVector, ConstructsCopiesAndResizes) {
  TVector<int> v(3, 7);
  EXPECT_EQ(v.Dimension(), 3);
  EXPECT_EQ(v[1], 7);
  EXPECT_EQ(v[3], 7);

  TVector<float> copy(Vec<float>({1, 2, 3}));
  TVector<float> other = copy;
  other[1] = 9;
  EXPECT_EQ(copy[1], 1.0f);  // deep copies

  TVector<float> grown = copy;
  grown.ChangeDimension(5);
  EXPECT_TRUE(grown == Vec<float>({1, 2, 3, 0, 0}));
  grown.ChangeDimension(2);
  EXPECT_TRUE(grown == Vec<float>({1, 2}));

  TVector<double> empty;
  EXPECT_EQ(empty.Dimension(), 0);
  EXPECT_TRUE(empty == TVector<double>());
  TVector<double> target(4, 1.0);
  target = empty;  // assigning an empty vector empties the target
  EXPECT_EQ(target.Dimension(), 0);
  EXPECT_EQ(target.Data, nullptr);
  target = target;
  EXPECT_EQ(target.Dimension(), 0);
}

TEST(TVector, ArithmeticFollowsTheElementType) {
  EXPECT_TRUE(Vec<int>({5, -5, 3}) * 0.5f == Vec<int>({2, -2, 1}));
  EXPECT_TRUE(Vec<double>({1, 2}) - Vec<double>({0.5, 4}) == Vec<double>({0.5, -2}));
  // Single precision stays single; double widens the float scalar first.
  EXPECT_EQ((Vec<float>({0.1f}) * 3.0f)[1], 0.1f * 3.0f);
  EXPECT_EQ((Vec<double>({0.1}) * 0.1f)[1], 0.1 * static_cast<double>(0.1f));
  EXPECT_EQ((Vec<int>({INT_MAX}) + Vec<int>({1}))[1], INT_MIN);  // wraps
  EXPECT_FALSE(Vec<int>({1, 2}) == Vec<int>({1, 2, 3}));
  EXPECT_FALSE(Vec<int>({1, 2}) == Vec<int>({1, 3}));
}

TEST(TVector, ExtremesGoToTheFirstPosition) {
  int at = 0;
  EXPECT_EQ(Vec<int>({3, 9, 9, 1}).MaxValue(at), 9);
  EXPECT_EQ(at, 2);
  EXPECT_EQ(Vec<float>({4, 1, 1}).MinValue(at), 1.0f);
  EXPECT_EQ(at, 2);
  EXPECT_EQ(Vec<double>({0, 0, 0}).MaxValue(at), 0.0);
  EXPECT_EQ(at, 1);
  EXPECT_EQ(Vec<float>({1, NAN, 5}).MaxValue(at), 5.0f);  // comparisons with NaN are false
  EXPECT_EQ(at, 3);
  EXPECT_TRUE(std::isnan(Vec<float>({NAN, 2, 5}).MinValue(at)));
  EXPECT_EQ(at, 1);
}

TEST(TVector, TextForm) {
  std::ostringstream out;
  out << Vec<int>({1, 2}) << '|' << Vec<float>({0.5f, 1.0f / 3}) << '|' << Vec<double>({1e-7});
  EXPECT_EQ(out.str(), "1\t2\t|0.5\t0.333333\t|1e-07\t");
  std::istringstream in("4 5 6 7");
  TVector<int> v(3, 0);
  in >> v;
  EXPECT_TRUE(v == Vec<int>({4, 5, 6}));  // reads only as many as it holds
  std::istringstream bad("1 x");
  bad >> v;
  EXPECT_TRUE(bad.fail());
}

TEST(TMatrix, ProductShapesAndColumns) {
  TMatrix<int> a = Mat<int>(2, 3, {1, 2, 3, 4, 5, 6});
  TMatrix<int> b = Mat<int>(3, 2, {7, 8, 9, 10, 11, 12});
  TMatrix<int> p = a * b;
  EXPECT_EQ(p.Rows(), 2);
  EXPECT_EQ(p.Columns(), 2);
  EXPECT_TRUE(p == Mat<int>(2, 2, {58, 64, 139, 154}));
  EXPECT_TRUE(a + a - a == a);
  EXPECT_TRUE(a.Column(2) == Vec<int>({2, 5}));
  a.SetColumn(3, Vec<int>({0, -1}));
  EXPECT_TRUE(a == Mat<int>(2, 3, {1, 2, 0, 4, 5, -1}));

  a.ChangeDimension(3, 2);
  EXPECT_TRUE(a == Mat<int>(3, 2, {1, 2, 4, 5, 0, 0}));
  TMatrix<int> copy = a;
  copy[1][1] = 42;
  EXPECT_EQ(a[1][1], 1);
  EXPECT_FALSE(a == Mat<int>(2, 3, {1, 2, 4, 5, 0, 0}));
}

TEST(TMatrix, TextForm) {
  std::ostringstream out;
  out << Mat<float>(2, 2, {1, 2.5f, 3, 4});
  EXPECT_EQ(out.str(), "1\t2.5\t\n3\t4\t\n");
  std::istringstream in("1 2\n3 4 5");
  TMatrix<double> m(2, 2, 0.0);
  in >> m;
  EXPECT_TRUE(m == Mat<double>(2, 2, {1, 2, 3, 4}));
}

TEST(ContainersDeathTest, MisuseEndsTheProgramWithItsRuntimeError) {
  using ::testing::ExitedWithCode;
  const std::string badVector = Exact("101", "TVector", "Bad argument for constructor\\.");
  const std::string badMatrix = Exact("111", "TMatrix", "Bad argument for constructor\\.");
  EXPECT_EXIT(TVector<float>(0, 1.0f), ExitedWithCode(1), badVector);
  EXPECT_EXIT(TVector<int>(2, 0).ChangeDimension(-1), ExitedWithCode(1), badVector);
  EXPECT_EXIT(TMatrix<int>(2, 0, 0), ExitedWithCode(1), badMatrix);
  EXPECT_EXIT(TMatrix<double>(1, 1, 0).ChangeDimension(0, 3), ExitedWithCode(1), badMatrix);
  EXPECT_EXIT(Vec<int>({1, 2}) + Vec<int>({1, 2, 3}), ExitedWithCode(1),
              Exact("103", "TVector", "Incompatible operand for operator '\\+'\\."));
  EXPECT_EXIT(Vec<int>({1, 2}) - Vec<int>({1}), ExitedWithCode(1),
              Exact("103", "TVector", "Incompatible operand for operator '-'\\."));
  // An empty left operand fails on making the result, before the shapes are compared.
  EXPECT_EXIT(TVector<int>() + Vec<int>({1}), ExitedWithCode(1), badVector);
  int at = 0;
  EXPECT_EXIT(TVector<int>().MaxValue(at), ExitedWithCode(1), badVector);
  EXPECT_EXIT(TMatrix<int>(2, 3, 0) * TMatrix<int>(2, 3, 0), ExitedWithCode(1),
              Exact("113", "TMatrix", "Incompatible operand for operator '\\*'\\."));
  EXPECT_EXIT(TMatrix<int>(2, 3, 0) + TMatrix<int>(3, 2, 0), ExitedWithCode(1),
              Exact("113", "TMatrix", "Incompatible operand for operator '\\+'\\."));
  EXPECT_EXIT(TMatrix<float>(2, 2, 0).SetColumn(1, Vec<float>({1})), ExitedWithCode(1),
              Exact("113", "TMatrix", "Incompatible operand for operator 'S'\\."));
  EXPECT_EXIT(MathError(120, 3, '+'), ExitedWithCode(1), "^Runtime error 123 \\(unkwown class\\):\n");
  EXPECT_EXIT(MathError(100, 9, 0), ExitedWithCode(1), "^Runtime error 109 \\(class TVector\\):\n$");
#ifdef KORVALIN_CHECK_INDEX
  EXPECT_EXIT(Vec<int>({1, 2})[3], ExitedWithCode(1), Exact("102", "TVector", "Index 3 out of range\\."));
  EXPECT_EXIT(TMatrix<int>(2, 2, 0)[0], ExitedWithCode(1), Exact("112", "TMatrix", "Index 0 out of range\\."));
#endif
}
