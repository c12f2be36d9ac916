#include "compiler/binary_files.h"

#include <gtest/gtest.h>

#include "line_data_bytes.h"
#include "model/run_errors.h"
#include "test_support.h"

namespace sb {
namespace {

using testing::Hex;
using testing::LineDataBytes;

TEST(LineDataFile, TaggedElementsOfTwoFourOrTenBytes) {
  LineGrid g;
  g.Create(2);  // metres 0, 1, 2
  g.At(0, 0) = Variant::Integer(0);
  g.At(1, 0) = Variant::Integer(-2);
  g.At(2, 0) = Variant::Double(1.5);
  g.At(0, 1) = Variant::Integer(258);
  g.At(1, 1) = Variant::Double(-0.25);
  // metre 2 of component 1 stays empty
  EXPECT_EQ(Hex(LineDataBytes(g)),
            "02 00 00 00 "                    // x of metre 0: integer 0
            "02 00 FE FF "                    // x of metre 1: integer -2
            "05 00 00 00 00 00 00 00 F8 3F "  // x of metre 2: 1.5
            "02 00 02 01 "                    // y of metre 0: integer 258
            "05 00 00 00 00 00 00 00 D0 BF "  // y of metre 1: -0.25
            "00 00");                         // y of metre 2: empty
}

TEST(TrackFile, RecordsOf15BytesLittleEndian) {
  Form1 f;
  f.CreateTrack(-6950);  // cells 0 and 1
  ASSERT_EQ(f.CellCount, 1);
  TrackCell& c = f.TrackCells[1];
  c.cellType = 12;
  c.value1 = 5121;
  c.value2 = -2;
  c.value3 = 0x1234;
  c.value4 = -32768;
  c.value5 = 101;
  c.approachMark = 84;
  c.mountain = 12;
  c.speedLimit = 36;
  c.gradient = 99;
  c.adhesion = 255;
  EXPECT_EQ(Hex(EncodeTrack(f)),
            "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
            "0C 01 14 FE FF 34 12 00 80 65 54 0C 24 63 FF");
}

TEST(SettingsFile, RecordsOf34PlusLBytes) {
  Form1 f;
  StationRecord& r = f.StationTable[1];
  r.kind = 8;
  r.extentStart = -500;
  r.extentEnd = 0x01020304;
  r.position = 376000;
  r.stationFlag1 = 1;
  r.name = "AB";
  r.stationValue1 = 610;
  r.stationValue2 = -1;
  r.stationValue3 = 9;
  r.stationValue4 = 12;
  r.stationValue5 = 40;
  r.stationFlag4 = 4;
  r.stationFlag5 = 5;
  r.stationFlag3 = 3;
  r.stationFlag2 = 2;
  r.timetableSeconds = 33640;
  const std::string bytes = EncodeTrainSettings(f, "/scn/x.sim");
  ASSERT_EQ(bytes.size(), 87u * 34u + 2u);
  EXPECT_EQ(bytes.substr(0, 34), std::string(34, '\0')) << "row 0 is cleared";
  EXPECT_EQ(Hex(bytes.substr(34, 36)),
            "08 "            // kind
            "0C FE FF FF "   // extentStart -500
            "04 03 02 01 "   // extentEnd
            "C0 BC 05 00 "   // position 376000
            "01 "            // stationFlag1
            "02 00 41 42 "   // L = 2, "AB"
            "62 02 FF FF 09 00 0C 00 28 00 "  // stationValue1 to 5
            "04 05 03 02 "   // stationFlag4, 5, 3, 2
            "68 83 00 00");  // timetableSeconds 33640
  EXPECT_EQ(bytes.substr(70), std::string(85 * 34, '\0')) << "rows 2 to 86 are cleared";
}

TEST(SettingsFile, NameLengthFitsSixteenBits) {
  Form1 f;
  f.StationTable[79].name = std::string(65535, 'x');
  const std::string bytes = EncodeTrainSettings(f, "/scn/x.sim");
  EXPECT_EQ(bytes.size(), 87u * 34u + 65535u);
  EXPECT_EQ(Hex(bytes.substr(79 * 34 + 14, 2)), "FF FF");
}

TEST(SettingsFile, NameOver65535BytesIsAFailureNamingTheRow) {
  Form1 f;
  f.StationTable[80].name = std::string(65536, 'x');
  try {
    EncodeTrainSettings(f, "/scn/x.sim");
    FAIL() << "no failure";
  } catch (const RunFailure& e) {
    EXPECT_EQ(e.file(), "/scn/x.sim");
    EXPECT_NE(e.description().find("row 80"), std::string::npos) << e.what();
  }
}

}  // namespace
}  // namespace sb
