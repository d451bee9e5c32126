#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <sstream>

#include "cell_value.h"
#include "csv_convert.h"
#include "csv_reader.h"
#include "names.h"

namespace {

std::vector<std::vector<std::string>> ReadAll(const std::string& text, char delimiter, std::string* error = nullptr,
                                              std::vector<long>* lines = nullptr) {
  std::istringstream in(text);
  TCsvReader reader(in, delimiter);
  std::vector<std::vector<std::string>> records;
  TCsvRecord record;
  while (reader.Next(record)) {
    records.push_back(record.Fields);
    if (lines != nullptr) lines->push_back(record.Line);
  }
  if (error != nullptr) *error = reader.Error();
  return records;
}

using Rows = std::vector<std::vector<std::string>>;

}  // namespace

TEST(CsvReader, QuotedFieldsHoldDelimitersQuotesAndLineBreaks) {
  std::vector<long> lines;
  Rows rows = ReadAll("a,\"b,c\",\"say \"\"hi\"\"\"\r\n\"two\nlines\",x, \"y\" \n", ',', nullptr, &lines);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"a", "b,c", "say \"hi\""}));
  EXPECT_EQ(rows[1], (std::vector<std::string>{"two\nlines", "x", "y"}));
  EXPECT_EQ(lines, (std::vector<long>{1, 2}));
}

TEST(CsvReader, SkipsBlankLinesButKeepsEmptyFieldsAndCountsLines) {
  std::vector<long> lines;
  Rows rows = ReadAll("1;2\n\n   \n;\n3;4", ';', nullptr, &lines);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[1], (std::vector<std::string>{"", ""}));
  EXPECT_EQ(rows[2], (std::vector<std::string>{"3", "4"}));
  EXPECT_EQ(lines, (std::vector<long>{1, 4, 5}));
}

TEST(CsvReader, MalformedQuotingIsAnErrorNamingTheLine) {
  std::string error;
  Rows rows = ReadAll("1,2\n3,\"4\n5,6\n", ',', &error);
  EXPECT_EQ(rows.size(), 1u);
  EXPECT_EQ(error, "line 2: quoted field not closed before the end of the input");
  ReadAll("1,2\n3,\"4\"x\n", ',', &error);
  EXPECT_EQ(error, "line 2: text after the closing quote of field 2");
}

TEST(CsvReader, HeaderLineAndDelimiterDetection) {
  std::istringstream in("\xEF\xBB\xBF" "a;\"b\nc\";d\r\n1;2;3\n");
  std::string header;
  ASSERT_TRUE(ReadHeaderLine(in, header));
  EXPECT_EQ(header, "a;\"b\nc\";d");
  EXPECT_EQ(DetectDelimiter(header), ';');
  EXPECT_EQ(DetectDelimiter("\"x,y,z\"\tw\tv"), '\t');
  EXPECT_EQ(DetectDelimiter("single"), ',');
  std::istringstream empty("");
  EXPECT_FALSE(ReadHeaderLine(empty, header));
}

TEST(CellValue, MissingAndNumbers) {
  float v = 0;
  for (const char* text : {"", "  ", "NA", "na", "?", "NaN", "nan", " NA "}) {
    EXPECT_EQ(ParseCell(text, false, v), TCellKind::Missing) << text;
    EXPECT_EQ(v, MissingValueMarker);
  }
  EXPECT_EQ(ParseCell(" +1.5 ", false, v), TCellKind::Number);
  EXPECT_EQ(v, 1.5f);
  EXPECT_EQ(ParseCell("-2e3", false, v), TCellKind::Number);
  EXPECT_EQ(v, -2000.0f);
  EXPECT_EQ(ParseCell("1e-50", false, v), TCellKind::Number);
  EXPECT_EQ(v, 0.0f);
  EXPECT_EQ(ParseCell("1e39", false, v), TCellKind::OutOfRange);
  for (const char* text : {"abc", "1.5x", "inf", "-infinity", "nan(1)", "0x10", "1,5", "+-1", "1 2"})
    EXPECT_EQ(ParseCell(text, false, v), TCellKind::Invalid) << text;
  EXPECT_EQ(ParseCell("1,5", true, v), TCellKind::Number);
  EXPECT_EQ(v, 1.5f);
  EXPECT_EQ(ParseCell("1,000.5", true, v), TCellKind::Invalid);
}

TEST(CellValue, FormattedValuesReadBackExactly) {
  EXPECT_EQ(FormatValue(MissingValueMarker), "1.4e-45");
  EXPECT_EQ(FormatValue(5.1f), "5.1");
  for (float v : {5.1f, -0.3f, 1.0f / 3.0f, 3.4028235e38f, 1.17549435e-38f, 123456.789f, 0.0f})
    EXPECT_EQ(std::strtof(FormatValue(v).c_str(), nullptr), v) << FormatValue(v);
}

TEST(Names, CutAndMadeDistinct) {
  const std::string longA = "measurement_of_the_left_sepal_length";  // 36 characters
  const std::string longB = "measurement_of_the_left_sepal_width";
  std::vector<std::string> changed;
  std::vector<std::string> names =
      MakeUniqueNames({longA, "x", longB, "measurement_of_the_left_sep~2", "x"}, changed);
  EXPECT_EQ(names[0], "measurement_of_the_left_sepal");
  EXPECT_EQ(names[1], "x");
  // "~2" is taken by a name that fitted already, so the cut name gets "~3".
  EXPECT_EQ(names[2], "measurement_of_the_left_sep~3");
  EXPECT_EQ(names[3], "measurement_of_the_left_sep~2");
  EXPECT_EQ(names[4], "x~2");
  EXPECT_EQ(changed.size(), 3u);
  EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size());
  for (const std::string& name : names) EXPECT_LE(name.size(), NameMaxLength);
}

TEST(Names, Utf8AndCleaning) {
  // 28 ASCII characters then a two-byte character: cutting at 29 would split it.
  std::string text = std::string(28, 'a') + "\xC3\xA9" + "b";
  EXPECT_EQ(Utf8Prefix(text, 29), std::string(28, 'a'));
  EXPECT_EQ(CleanName("  two\twords\n ", "f"), "two_words");
  EXPECT_EQ(CleanName(" \t ", "Input_3"), "Input_3");
}

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

const char* const Flowers =
    "length,width,species\n"
    "5.1,3.5,setosa\n"
    "7.0,NA,versicolor\n"
    "4.9,3.0,setosa\n"
    "6.3,3.3,virginica\n";

}  // namespace

TEST(ConvertCsv, ClassesInOrderOfFirstAppearance) {
  Converted c = Convert(Flowers);
  ASSERT_TRUE(c.Ok) << c.Errors[0];
  EXPECT_EQ(c.Table.NumberOfInputs, 2);
  EXPECT_EQ(c.Table.NumberOfClasses, 3);
  EXPECT_EQ(c.Table.InputNames, (std::vector<std::string>{"length", "width"}));
  EXPECT_EQ(c.Table.ClassNames, (std::vector<std::string>{"setosa", "versicolor", "virginica"}));
  EXPECT_EQ(c.Table.Classes, (std::vector<int>{1, 2, 1, 3}));
  EXPECT_EQ(c.Table.Values[3], MissingValueMarker);
  EXPECT_EQ(c.Notes, (std::vector<std::string>{"1 missing values written as 1.4e-45"}));

  std::ostringstream out;
  ASSERT_TRUE(WritePatternFile(out, c.Table, {"from a test"}));
  EXPECT_EQ(out.str(),
            "% from a test\nDIMENSIONS\n2 3\nNAME\n\nVARNAMES\nlength\nwidth\nsetosa\nversicolor\nvirginica\n"
            "PATTERNS\n4\n5.1 3.5   1 0 0\n7 1.4e-45   0 1 0\n4.9 3   1 0 0\n6.3 3.3   0 0 1\nEND\n");
}

TEST(ConvertCsv, ChoosingSkippingAndFixingColumns) {
  TCsvOptions options;
  options.ClassColumn = "1";
  options.Skip = {"width"};
  Converted c = Convert("id;width;score\na;1;2,5\nb;2;3\n", options);
  ASSERT_TRUE(c.Ok) << c.Errors[0];
  EXPECT_EQ(c.Table.InputNames, (std::vector<std::string>{"score"}));
  EXPECT_EQ(c.Table.ClassNames, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(c.Table.Values, (std::vector<float>{2.5f, 3.0f}));

  options = TCsvOptions();
  options.Classes = {"virginica", "setosa", "versicolor"};
  c = Convert(Flowers, options);
  ASSERT_TRUE(c.Ok);
  EXPECT_EQ(c.Table.Classes, (std::vector<int>{2, 3, 2, 1}));

  options.Classes = {"setosa", "virginica"};
  c = Convert(Flowers, options);
  ASSERT_FALSE(c.Ok);
  EXPECT_EQ(c.Errors[0], "line 3: class 'versicolor' is not among the classes given");

  options = TCsvOptions();
  options.ClassColumn = "colour";
  c = Convert(Flowers, options);
  ASSERT_FALSE(c.Ok);
  EXPECT_EQ(c.Errors[0], "line 1: no column 'colour' for the classes");
}

TEST(ConvertCsv, NoClassMode) {
  TCsvOptions options;
  options.NoClass = true;
  EXPECT_FALSE(Convert("a,b\n1,2\n", options).Ok);
  options.Classes = {"good", "bad"};
  Converted c = Convert("a,b\n1,2\n", options);
  ASSERT_TRUE(c.Ok);
  EXPECT_FALSE(c.Table.ClassInfo);
  EXPECT_EQ(c.Table.NumberOfInputs, 2);
  EXPECT_EQ(c.Table.ClassNames, (std::vector<std::string>{"good", "bad"}));
  // A class column named together with --noclass is dropped.
  options.ClassColumn = "b";
  c = Convert("a,b\n1,x\n", options);
  ASSERT_TRUE(c.Ok);
  EXPECT_EQ(c.Table.InputNames, (std::vector<std::string>{"a"}));
  std::ostringstream out;
  WritePatternFile(out, c.Table, {});
  EXPECT_NE(out.str().find("NOCLASS\nPATTERNS\n1\n1\nEND\n"), std::string::npos);
}

TEST(ConvertCsv, EveryBadRowIsReportedWithItsLine) {
  Converted c = Convert("x,y,c\n1,2,a\n1,2\n\n1,abc,b\n1e40,2,a\n1,2,\n1,2,a,4\n");
  ASSERT_FALSE(c.Ok);
  EXPECT_EQ(c.Errors, (std::vector<std::string>{
                          "line 3: 2 fields, but the header has 3",
                          "line 5: 'abc' in column 2 ('y') is not a number",
                          "line 6: '1e40' in column 1 ('x') is too large for a single-precision number",
                          "line 7: no class label in column 3 ('c')",
                          "line 8: 4 fields, but the header has 3",
                      }));
}

TEST(ConvertCsv, ErrorsStopAfterTheLimit) {
  std::string text = "x,c\n";
  for (int i = 0; i < 100; i++) text += "bad,a\n";
  Converted c = Convert(text);
  ASSERT_FALSE(c.Ok);
  EXPECT_EQ(c.Errors.size(), CsvMaxErrors + 1);
  EXPECT_EQ(c.Errors.back().rfind("too many errors", 0), 0u);
}

TEST(ConvertCsv, UnusableTables) {
  TCsvOptions small;
  small.MaxValues = 4;
  EXPECT_EQ(Convert("x,y,c\n1,2,a\n3,4,b\n5,6,a\n", small).Errors,
            (std::vector<std::string>{"line 4: the table has more than 4 values"}));
  std::string unique = "x,id\n";
  for (std::size_t i = 0; i <= CsvMaxClasses; i++) unique += "1,row" + std::to_string(i) + "\n";
  std::vector<std::string> errors = Convert(unique).Errors;
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], "line " + std::to_string(CsvMaxClasses + 2) +
                           ": more than 1000 different labels in column 2 ('id'); choose the class column with --class");
  EXPECT_EQ(Convert("").Errors, (std::vector<std::string>{"line 1: no header row"}));
  EXPECT_EQ(Convert("x,c\n\n").Errors, (std::vector<std::string>{"no data rows after the header"}));
  EXPECT_EQ(Convert("c\na\n").Errors[0], "line 1: no input columns left (1 columns in the header)");
}

TEST(ConvertCsv, LongAndOddNamesAreFitted) {
  std::string longName(40, 'n');
  Converted c = Convert("\"" + longName + "1\"," + longName + "2, ,c\n1,2,3," + longName + "\n");
  ASSERT_TRUE(c.Ok);
  EXPECT_EQ(c.Table.InputNames, (std::vector<std::string>{std::string(29, 'n'), std::string(27, 'n') + "~2",
                                                          "Input_3"}));
  EXPECT_EQ(c.Table.ClassNames, (std::vector<std::string>{std::string(29, 'n')}));
  EXPECT_EQ(c.Notes.size(), 3u);
}
