// The table converter and the fold split of the companion tools.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <sstream>

#include "cell_value.h"
#include "csv_convert.h"
#include "csv_reader.h"
#include "folds_split.h"
#include "names.h"

namespace {

struct Converted {
  bool Ok;
  TPatternTable Table;
  std::vector<std::string> Errors, Notes;
};

Converted Convert(const std::string& text, TCsvOptions options = TCsvOptions()) {
  Converted c;
  std::istringstream in(text);
  c.Ok = ConvertCsv(in, options, c.Table, c.Errors, c.Notes);
  return c;
}

const char* const Flowers = "length,width,species\n5.1,3.5,setosa\n7.0,NA,versicolor\n4.9,3.0,setosa\n6.3,3.3,virginica\n";

}  // namespace

TEST(CsvReader, QuotesLineBreaksBlankLinesAndErrors) {
  std::istringstream in("a,\"b,c\",\"say \"\"hi\"\"\"\r\n\n  \n\"two\nlines\",x, \"y\" \n3,\"4\"x\n");
  TCsvReader reader(in, ',');
  TCsvRecord record;
  ASSERT_TRUE(reader.Next(record));
  EXPECT_EQ(record.Fields, (std::vector<std::string>{"a", "b,c", "say \"hi\""}));
  ASSERT_TRUE(reader.Next(record));
  EXPECT_EQ(record.Fields, (std::vector<std::string>{"two\nlines", "x", "y"}));
  EXPECT_EQ(record.Line, 4);
  EXPECT_FALSE(reader.Next(record));
  EXPECT_EQ(reader.Error(), "line 6: text after the closing quote of field 2");
  EXPECT_EQ(DetectDelimiter("\"x,y,z\"\tw\tv"), '\t');
}

TEST(CsvCells, MissingNumbersAndTheRest) {
  float v = 0;
  for (const char* text : {"", "  ", "NA", "na", "?", "NaN", " NA "}) EXPECT_EQ(ParseCell(text, false, v), TCellKind::Missing) << text;
  EXPECT_EQ(ParseCell(" +1.5 ", false, v), TCellKind::Number);
  EXPECT_EQ(v, 1.5f);
  EXPECT_EQ(ParseCell("1e39", false, v), TCellKind::OutOfRange);
  for (const char* text : {"abc", "1.5x", "inf", "nan(1)", "0x10", "1,5", "1 2"}) EXPECT_EQ(ParseCell(text, false, v), TCellKind::Invalid) << text;
  EXPECT_EQ(ParseCell("1,5", true, v), TCellKind::Number);  // a decimal comma where ',' is no delimiter
  for (float x : {5.1f, -0.3f, 1.0f / 3.0f, 3.4028235e38f, 1.17549435e-38f}) EXPECT_EQ(std::strtof(FormatValue(x).c_str(), nullptr), x);
}

TEST(ConvertCsv, ClassesColumnsAndTheWrittenFile) {
  Converted c = Convert(Flowers);
  ASSERT_TRUE(c.Ok) << c.Errors[0];
  EXPECT_EQ(c.Notes, (std::vector<std::string>{"1 missing values written as 1.4e-45"}));
  std::ostringstream out;
  ASSERT_TRUE(WritePatternFile(out, c.Table, {"from a test"}));
  EXPECT_EQ(out.str(),
            "% from a test\nDIMENSIONS\n2 3\nNAME\n\nVARNAMES\nlength\nwidth\nsetosa\nversicolor\nvirginica\n"
            "PATTERNS\n4\n5.1 3.5   1 0 0\n7 1.4e-45   0 1 0\n4.9 3   1 0 0\n6.3 3.3   0 0 1\nEND\n");
  TCsvOptions options;
  options.ClassColumn = "1";
  options.Skip = {"width"};
  c = Convert("id;width;score\na;1;2,5\nb;2;3\n", options);
  ASSERT_TRUE(c.Ok);
  EXPECT_EQ(c.Table.InputNames, (std::vector<std::string>{"score"}));
  EXPECT_EQ(c.Table.Values, (std::vector<float>{2.5f, 3.0f}));
  options = TCsvOptions();
  options.Classes = {"virginica", "setosa", "versicolor"};
  EXPECT_EQ(Convert(Flowers, options).Table.Classes, (std::vector<int>{2, 3, 2, 1}));
  // Names are cut to what a network keeps and made distinct.
  std::vector<std::string> changed;
  EXPECT_EQ(MakeUniqueNames({std::string(36, 'm'), "x", std::string(35, 'm') + "w", "x"}, changed),
            (std::vector<std::string>{std::string(29, 'm'), "x", std::string(27, 'm') + "~2", "x~2"}));
}

TEST(ConvertCsv, EveryBadRowOrTableIsReported) {
  EXPECT_EQ(Convert("x,y,c\n1,2,a\n1,2\n\n1,abc,b\n1e40,2,a\n1,2,\n").Errors,
            (std::vector<std::string>{"line 3: 2 fields, but the header has 3",
                                      "line 5: 'abc' in column 2 ('y') is not a number",
                                      "line 6: '1e40' in column 1 ('x') is too large for a single-precision number",
                                      "line 7: no class label in column 3 ('c')"}));
  TCsvOptions options;
  options.Classes = {"setosa", "virginica"};
  EXPECT_EQ(Convert(Flowers, options).Errors[0], "line 3: class 'versicolor' is not among the classes given");
  options = TCsvOptions();
  options.NoClass = true;
  EXPECT_FALSE(Convert("a,b\n1,2\n", options).Ok);  // without classes to name
  EXPECT_EQ(Convert("").Errors, (std::vector<std::string>{"line 1: no header row"}));
  EXPECT_EQ(Convert("x,c\n\n").Errors, (std::vector<std::string>{"no data rows after the header"}));
  std::string text = "x,c\n";
  for (int i = 0; i < 100; i++) text += "bad,a\n";
  EXPECT_EQ(Convert(text).Errors.size(), CsvMaxErrors + 1);
}

TEST(Folds, StratifiedBalancedAndFixedBySeed) {
  std::vector<int> classes;  // 10, 7 and 4 patterns, interleaved
  for (int p = 0; p < 21; p++) classes.push_back(p < 12 ? 1 + p % 2 : (p < 16 ? 3 : (p < 18 ? 2 : 1)));
  const std::vector<int> fold = AssignFolds(classes, 4, 7);
  int size[4] = {}, perClass[4][4] = {};
  for (std::size_t p = 0; p < fold.size(); p++) {
    size[fold[p]]++;
    perClass[fold[p]][classes[p]]++;
  }
  EXPECT_LE(*std::max_element(size, size + 4) - *std::min_element(size, size + 4), 1);
  for (int k = 1; k <= 3; k++) {
    std::set<int> counts = {perClass[0][k], perClass[1][k], perClass[2][k], perClass[3][k]};
    EXPECT_LE(*counts.rbegin() - *counts.begin(), 1) << "class " << k;
  }
  EXPECT_EQ(AssignFolds(classes, 4, 7), fold);
  EXPECT_NE(AssignFolds(classes, 4, 8), fold);
}
