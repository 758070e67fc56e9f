#include "chart/value_list.h"

#include <gtest/gtest.h>

#include <vector>

namespace vellora::chart {
namespace {

std::vector<double> Values(const TChartValueList& list) {
  std::vector<double> values;
  values.reserve(static_cast<std::size_t>(list.ValueCount()));
  for (int i = 0; i < list.ValueCount(); ++i) values.push_back(list.ValueAt(i));
  return values;
}

struct InsertCase {
  const char* name;
  TChartListOrder order;
  std::vector<double> inserts;
  std::vector<int> indexes;
  std::vector<double> stored;
};

TEST(ValueList, InsertOrderedPutsValuesWhereTheOrderAsks) {
  const InsertCase cases[] = {
      {"unordered appends", loNone, {3, 1, 2}, {0, 1, 2}, {3, 1, 2}},
      {"ascending appends", loAscending, {1, 2, 3}, {0, 1, 2}, {1, 2, 3}},
      {"equal values go behind", loAscending, {1, 2, 2}, {0, 1, 2}, {1, 2, 2}},
      {"smaller goes before the first larger",
       loAscending,
       {1, 3, 3, 2},
       {0, 1, 2, 1},
       {1, 2, 3, 3}},
      {"tie inside goes behind its equals", loAscending, {1, 2, 3, 2}, {0, 1, 2, 2}, {1, 2, 2, 3}},
      {"smallest goes to the front", loAscending, {2, 3, 1}, {0, 1, 0}, {1, 2, 3}},
      {"descending", loDescending, {3, 1, 2, 3}, {0, 1, 1, 1}, {3, 3, 2, 1}},
  };
  for (const InsertCase& c : cases) {
    SCOPED_TRACE(c.name);
    TChartValueList list("X", c.order);
    std::vector<int> indexes;
    for (const double x : c.inserts) indexes.push_back(list.InsertOrdered(x));
    EXPECT_EQ(indexes, c.indexes);
    EXPECT_EQ(Values(list), c.stored);
  }
}

TEST(ValueList, StatisticsOfEmptyOneAndManyValues) {
  TChartValueList list("Y");
  EXPECT_EQ(list.Lowest(), 0);
  EXPECT_EQ(list.Highest(), 0);
  list.InsertOrdered(-2.5);
  EXPECT_EQ(list.Lowest(), -2.5);
  EXPECT_EQ(list.Highest(), -2.5);
  for (const double v : {3.0, -7.0, 1.0}) list.InsertOrdered(v);
  EXPECT_EQ(list.Lowest(), -7);
  EXPECT_EQ(list.Highest(), 3);
  EXPECT_EQ(list.LastValue(), 1);
}

// The statistics kept up to date on append must equal those of a full pass, also when values
// are inserted in the middle or appended before the first query.
TEST(ValueList, StatisticsFollowEveryKindOfChange) {
  TChartValueList list("X", loAscending);
  for (const double v : {5.0, 6.0, 7.0}) list.InsertOrdered(v);
  EXPECT_EQ(list.Lowest(), 5);
  list.InsertOrdered(1);  // into the front
  EXPECT_EQ(list.Lowest(), 1);
  list.InsertOrdered(9);  // appended after a query
  EXPECT_EQ(list.Highest(), 9);
  list.InsertAt(2, 20);
  EXPECT_EQ(list.Highest(), 20);
  list.SetMultiplier(-1);
  EXPECT_EQ(list.Lowest(), -20);
  EXPECT_EQ(list.Highest(), -1);
  EXPECT_EQ(list.ValueAt(0), -1);
}

TEST(ValueList, ClearAllEmptiesTheListAndItsStatistics) {
  TChartValueList list("X", loAscending);
  for (const double v : {1.0, 2.0}) list.InsertOrdered(v);
  list.ClearAll();
  EXPECT_EQ(list.ValueCount(), 0);
  EXPECT_EQ(list.Lowest(), 0);
  EXPECT_EQ(list.Highest(), 0);
  EXPECT_EQ(list.InsertOrdered(-4), 0);
  EXPECT_EQ(list.Lowest(), -4);
  EXPECT_EQ(list.Highest(), -4);
}

TEST(ValueList, FirstAtOrAboveFindsTheFirstValueNotBelow) {
  TChartValueList list("X", loAscending);
  for (const double v : {1.0, 2.0, 2.0, 4.0}) list.InsertOrdered(v);
  const struct {
    double x;
    int from;
    int index;
  } cases[] = {{0, 0, 0}, {1, 0, 0}, {1.5, 0, 1}, {2, 0, 1}, {3, 0, 3},
               {4, 0, 3}, {5, 0, 4}, {1, 2, 2},   {4, 3, 3}};
  for (const auto& c : cases) EXPECT_EQ(list.FirstAtOrAbove(c.x, c.from), c.index) << c.x;
}

}  // namespace
}  // namespace vellora::chart
