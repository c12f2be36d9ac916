#include "readers/format_table.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "readers/field_reader.h"

namespace sb {
namespace {

// Each key's example is a line of the built-in texts: the table's own test recognises it as
// that key, and it holds one value per column.
TEST(FormatTable, EachExampleIsALineOfItsKey) {
  for (const KeyInfo& k : SourceKeys()) {
    SCOPED_TRACE(k.key);
    const std::string line = std::string(k.example) + "\r\n";
    FieldReader in(line);
    const std::string key = in.ReadText();
    EXPECT_EQ(KeyOfField(k.text, key), &k);
    EXPECT_EQ(FindSourceKey(k.key), &k);
    size_t values = 0;
    for (const ColumnInfo& c : k.columns) {
      ASSERT_FALSE(in.Eof()) << "the example has no value for " << c.name;
      if (c.kind == ValueKind::kText || c.kind == ValueKind::kTextToLineEnd) in.ReadText();
      else in.ReadInt32();
      ++values;
    }
    EXPECT_TRUE(in.Eof()) << "the example has more values than columns";
    EXPECT_EQ(values, k.columns.size());
  }
}

TEST(FormatTable, KeysAreFoundAsTheReadersTestThem) {
  EXPECT_EQ(KeyOfField(SourceFile::kRoute, "CURVAD6")->key, std::string("curvas1"));
  EXPECT_EQ(KeyOfField(SourceFile::kRoute, "Lunghezza Percorso")->key, std::string("lunghezza percorso"));
  EXPECT_EQ(KeyOfField(SourceFile::kRoute, "Progressiva chilometrica uno"), nullptr);  // case as written
  EXPECT_EQ(KeyOfField(SourceFile::kTrain, "VELOCITA'")->key, std::string("velocita"));
  EXPECT_EQ(KeyOfField(SourceFile::kTrain, "pendenza"), nullptr);  // a key of the other text
  EXPECT_EQ(FindSourceKey("STAZIONE")->key, std::string("stazione"));
  EXPECT_EQ(FindSourceKey("staz"), nullptr);
}

TEST(FormatTable, EveryFaultCodeOnce) {
  const std::set<int32_t> codes = {101, 102, 1,  3,  4,  5,  103, 15, 6,  21, 7,  16,   17,  18,
                                   19,  20,  8,  9,  24, 22, 10,  2,  25, 11, 12, 13, 1250, 1251};
  std::set<int32_t> seen;
  for (const FaultInfo& f : FaultCodes()) {
    EXPECT_TRUE(seen.insert(f.code).second) << "fault " << f.code << " twice";
    EXPECT_EQ(FindFault(f.code), &f);
  }
  EXPECT_EQ(seen, codes);
  EXPECT_EQ(FindFault(14), nullptr);
}

}  // namespace
}  // namespace sb
