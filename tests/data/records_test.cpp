// records_test.cpp -- map.dat, art.dat, dialogs.dat, events.dat, images.dat and fonts.dat: records, texts,
// action lists, sheets, reloads and refusals.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "data/data_fixture.h"
#include "support/tables_text.h"

using namespace data_builder;
using Lines = std::vector<std::string>;

class MapFile : public DataFileTest {};
class ArtifactFile : public DataFileTest {};
class DialogFile : public DataFileTest {};
class EventFile : public DataFileTest {};
class ImageFile : public DataFileTest {};
class FontFile : public DataFileTest {};

namespace {

bool allSlotsEmpty() {
  for (const ScreenRecord& slot : screenMap) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(&slot);
    if (std::any_of(bytes, bytes + sizeof slot, [](uint8_t b) { return b != 0; })) return false;
  }
  return true;
}

// Every field of the slot equals the record's bytes (the record is the same in memory and in the
// file; this host is little-endian like the handheld).
bool sameAsFile(const ScreenRecord& slot, const ScreenDef& def) {
  return std::memcmp(&slot, ScreenBytes(def).data(), sizeof slot) == 0;
}

ScreenDef fullScreen(uint32_t number) {
  // Both placement lists filled to the end, with no terminating zero entry.
  ScreenDef screen{.number = number};
  for (uint32_t k = 0; k < 64; ++k) {
    screen.objects.push_back({.id = 100 + k, .x = static_cast<uint16_t>(k), .y = static_cast<uint16_t>(2 * k),
                              .layerOverride = k == 5 ? 0x1234u : 0u});
  }
  for (uint32_t k = 0; k < 16; ++k) screen.events.push_back({.id = 500 + k, .x = static_cast<uint16_t>(k + 1), .y = 9});
  return screen;
}

}  // namespace

TEST_F(MapFile, PlacesRecordsInTheSlotsOfTheirNumbersAndTheLaterOfANumberWins) {
  const ScreenDef small{.number = 1, .objects = {{.id = 3, .x = 5, .y = 6}, {.id = 1500, .x = 1, .y = 1}, {.id = 9}},
                        .events = {{.id = 7, .x = 8, .y = 9}}};
  // Numbers 0 and above 100 are ignored; both records of 12 count, and the later one stays.
  write("map.dat", Map({fullScreen(57), small, fullScreen(0), fullScreen(101), fullScreen(0xFFFFFFFF), {.number = 100},
                        {.number = 12, .objects = {{.id = 1}}}, {.number = 3}, {.number = 12, .objects = {{.id = 2}}}}));
  ASSERT_EQ(loadScreenMap(), LoadOk);
  EXPECT_EQ(log(), (Lines{"Loaded 6 screens."}));

  // Screen 57 lands in slot 56: column 5, row 6, with both lists used to the end.
  const ScreenRecord& s57 = screenMap[56];
  EXPECT_EQ(s57.objects[63].spriteId, 163u);
  EXPECT_EQ(s57.objects[63].y, 126);
  EXPECT_EQ(s57.objects[5].layerOverride, 0x1234u);
  EXPECT_EQ(s57.events[15].eventId, 515u);
  EXPECT_EQ(s57.events[15].x, 16);
  EXPECT_TRUE(sameAsFile(s57, fullScreen(57)));
  // The lists are copied as they are; skipping big ids and stopping at 0 is the reader's job.
  EXPECT_EQ(screenMap[0].objects[1].spriteId, 1500u);
  EXPECT_TRUE(sameAsFile(screenMap[0], small));
  EXPECT_TRUE(sameAsFile(screenMap[2], {.number = 3}));
  EXPECT_TRUE(sameAsFile(screenMap[11], {.number = 12, .objects = {{.id = 2}}}));
  EXPECT_TRUE(sameAsFile(screenMap[99], {.number = 100}));
  for (size_t slot : {0, 2, 11, 56, 99}) screenMap[slot] = ScreenRecord{};
  EXPECT_TRUE(allSlotsEmpty());
}

TEST_F(MapFile, AWrongSizeOrAMissingFileLeavesEverySlotEmpty) {
  for (size_t size : {size_t{0}, size_t{89999}, size_t{90001}, size_t{900}}) {
    SCOPED_TRACE(size);
    write("map.dat", Map({fullScreen(4)}));
    ASSERT_EQ(loadScreenMap(), LoadOk);
    Bytes bytes = Map({fullScreen(4)});
    bytes.resize(size, 0);
    write("map.dat", bytes);
    EXPECT_EQ(loadScreenMap(), LoadOther);
    EXPECT_EQ(log().back(), "Map size mismatch. Expected 90000, found " + std::to_string(size));
    EXPECT_TRUE(allSlotsEmpty());
  }
  restart(1);
  write("map.dat", Map({fullScreen(20)}));
  ASSERT_EQ(loadScreenMap(), LoadOk);
  ASSERT_EQ(screenMap[19].screenNumber, 20u);
  std::remove(dir.file("map.dat").c_str());
  EXPECT_EQ(loadScreenMap(), LoadCannotOpen);
  EXPECT_TRUE(allSlotsEmpty());
  EXPECT_EQ(log(), (Lines{"Loaded 1 screens."}));  // a missing map says nothing itself
}

TEST_F(ArtifactFile, LoadsEveryRecordInFileOrderDuplicatesIncludedAndCutsAFullName) {
  write("art.dat", Artifacts({{.id = 50, .name = "Golden key", .screenNumber = 12, .x = 30, .y = 40, .state = Lying},
                              {.id = 7, .name = "", .screenNumber = 0xFFFF, .x = 0xFFFF, .y = 1, .state = 9},
                              {.id = 50, .name = "Second key", .state = Carried},
                              {.id = 5, .name = std::string(32, 'N')}}));
  ASSERT_EQ(loadArtifacts(), LoadOk);
  EXPECT_EQ(log(), (Lines{"art.dat: record 3 (artifact 5): the name has no ending 0; cut to 31 characters",
                          "Loaded 4 artifacts."}));
  Lines got;
  for (const Artifact& a : artifactList) got.push_back(Fields(a));
  EXPECT_EQ(got, (Lines{"id=50 name='Golden key' screen=12 at=30,40 state=1", "id=7 name='' screen=65535 at=65535,1 state=9",
                        "id=50 name='Second key' screen=0 at=0,0 state=3",
                        "id=5 name='" + std::string(31, 'N') + "' screen=0 at=0,0 state=0"}));
}

TEST_F(ArtifactFile, ReloadReturnsToTheStoredStatesAndBrokenFilesAreRefused) {
  write("art.dat", Artifacts({{.id = 1, .screenNumber = 3, .state = Lying}}));
  ASSERT_EQ(loadArtifacts(), LoadOk);
  artifactList.front().state = Carried;  // as a game would change it
  artifactList.push_back(Artifact{});
  ASSERT_EQ(loadArtifacts(), LoadOk);
  ASSERT_EQ(artifactList.size(), 1u);
  EXPECT_EQ(Fields(artifactList.front()), "id=1 name='' screen=3 at=0,0 state=1");
  write("art.dat", Bytes{});
  EXPECT_EQ(loadArtifacts(), LoadOther);
  EXPECT_TRUE(artifactList.empty());  // emptied on entry, whatever follows
  // Trailing bytes beyond the records are no harm; missing ones are.
  Bytes trailing = Artifacts({{.id = 1}});
  trailing.push_back(0xEE);
  write("art.dat", trailing);
  EXPECT_EQ(loadArtifacts(), LoadOk);
  expectRefused("art.dat", loadArtifacts,
                {{"count cut short", Bytes{1}, "ends inside the record count (1 of its 4 bytes)"},
                 {"count larger than the file", Artifacts({{.id = 1}}, 1000), "count 1000 needs 43004 bytes, but the file has 47"},
                 {"last record cut short", Cut(Artifacts({{.id = 1}, {.id = 2}}), 1), "count 2 needs 90 bytes, but the file has 89"},
                 {"count near 2^32", Artifacts({}, 0xFFFFFFFF), "count 4294967295 needs"}},
                [] { return artifactList.empty(); });
}

TEST_F(DialogFile, LoadsTextsByIdTheFirstOfAnIdStayingAndCutsAFullText) {
  write("dialogs.dat", Dialogs({{.id = 4, .text = "Hello @fF800world"},
                                {.id = 2, .text = "Line one\r\nLine two"},
                                {.id = 4, .text = "Ignored"},
                                {.id = 9, .text = ""},
                                {.id = 1, .text = std::string(128, 'x')}}));
  ASSERT_EQ(loadDialogs(), LoadOk);
  EXPECT_EQ(log(), (Lines{"dialogs.dat: record 4 (dialog 1): the text has no ending 0; cut to 127 characters",
                          "Loaded 5 dialogs."}));
  ASSERT_EQ(dialogTable.size(), 4u);
  EXPECT_EQ(dialogTable.at(4).id, 4u);
  EXPECT_STREQ(dialogTable.at(4).text, "Hello @fF800world");
  EXPECT_STREQ(dialogTable.at(2).text, "Line one\r\nLine two");
  EXPECT_EQ(dialogTable.at(9).text[0], '\0');
  EXPECT_EQ(std::string(dialogTable.at(1).text), std::string(127, 'x'));
}

TEST_F(DialogFile, LoadingAgainAddsAndKeepsAndBrokenFilesAreRefused) {
  write("dialogs.dat", Dialogs({{.id = 1, .text = "first"}}));
  ASSERT_EQ(loadDialogs(), LoadOk);
  write("dialogs.dat", Dialogs({{.id = 1, .text = "second"}, {.id = 2, .text = "new"}}));
  ASSERT_EQ(loadDialogs(), LoadOk);
  EXPECT_STREQ(dialogTable.at(1).text, "first");
  EXPECT_STREQ(dialogTable.at(2).text, "new");

  expectRefused("dialogs.dat", loadDialogs,
                {{"count cut short", Bytes{3, 0}, "ends inside the record count (2 of its 4 bytes)"},
                 {"count larger than the file", Cut(Dialogs({{.id = 1, .text = "a"}, {.id = 2, .text = "b"}}), 100),
                  "count 2 needs 268 bytes, but the file has 168"},
                 {"count near 2^32", Dialogs({}, 0xFFFFFFFF), "count 4294967295 needs"}},
                [] { return dialogTable.empty(); });
}

TEST_F(EventFile, LoadsHeadersAndActionListsWhereverTheIndexPutsThemAndTheFirstOfAnIdStays) {
  const EventDef touch{.id = 7, .width = 30, .height = 40, .trigger = Touch, .armState = Armed,
                       .reserved = {1, 2, 3, 4}, .triggerParam = 0xDEADBEEF,
                       .actions = {{.opcode = GoToScreen, .argument = 12, .x = 100, .y = 150},
                                   {.opcode = ShowDialog, .argument = 3},
                                   {.opcode = 200, .argument = 0xFFFFFFFF, .x = 0xFFFF, .y = 0xFFFF}}};
  const EventDef silent{.id = 9, .trigger = UseArtifact, .armState = Disarmed, .triggerParam = 50};
  // touch lies first in the data area; a third index entry points at it again, a fourth record repeats id 9.
  write("events.dat", Indexed({EventEntry(silent), EventEntry(touch), IndexedRecord{.bytes = {}, .size = 0, .offset = 0},
                               EventEntry({.id = 9, .width = 6})},
                              {1, 0, 2, 3}));
  ASSERT_EQ(loadEvents(), LoadOk);
  EXPECT_EQ(log(), (Lines{"Loaded 4 events."}));
  ASSERT_EQ(eventTable.size(), 2u);
  EXPECT_EQ(Fields(eventTable.at(7)),
            "id=7 size=30x40 trigger=1 armState=1 reserved 1 2 3 4 param=3735928559 actionCount=3 [1 12 100,150] "
            "[4 3 0,0] [200 4294967295 65535,65535]");
  EXPECT_EQ(Fields(eventTable.at(9)), "id=9 size=0x0 trigger=3 armState=2 reserved 0 0 0 0 param=50 actionCount=0");
}

TEST_F(EventFile, ReloadReturnsToTheStoredArming) {
  write("events.dat", Indexed({EventEntry({.id = 1, .armState = Armed, .actions = {{.opcode = KillPlayer}}})}));
  ASSERT_EQ(loadEvents(), LoadOk);
  eventTable.at(1).armState = Disarmed;  // as a DisarmEvent action would
  eventTable[99] = Event{};
  ASSERT_EQ(loadEvents(), LoadOk);
  ASSERT_EQ(eventTable.size(), 1u);
  EXPECT_EQ(eventTable.at(1).armState, Armed);
  EXPECT_EQ(eventTable.at(1).actions.size(), 1u);
  std::remove(dir.file("events.dat").c_str());
  EXPECT_EQ(loadEvents(), LoadCannotOpen);
  EXPECT_TRUE(eventTable.empty());
}

TEST_F(EventFile, MalformedFilesAreRefusedWholeWithOneLine) {
  const Bytes good = Indexed({EventEntry({.id = 1, .actions = {{.opcode = 4}}}),
                              EventEntry({.id = 2, .actions = {{.opcode = 1}, {.opcode = 2}}})});
  // Record 2 starts at 4 + 16 + 19 + 9 = 48 and ends at the file's end, 48 + 19 + 18 = 85.
  Bytes actionsPast = good;
  actionsPast[48 + layout::event::kActionCount] = 255;
  expectRefused("events.dat", loadEvents,
                {{"count cut short", Bytes{1, 0, 0}, "ends inside the record count"},
                 {"count larger than the file", Set32(good, 0, 11), "count 11 needs 92 bytes of count and index, but the file has 85"},
                 {"offset past the end", Set32(good, 12, 0x80000000), "index entry 1: the record starts at byte 2147483668, past the end"},
                 {"header cut short", Set32(good, 12, 85 - 20 - 18), "index entry 1: the 19-byte header at byte 67 is cut short"},
                 {"action count past the end", actionsPast, "index entry 1 (event 2): its 255 actions run past the end"},
                 {"last action cut short", Cut(good, 1), "index entry 1 (event 2): its 2 actions run past the end"}},
                [] { return eventTable.empty(); });
}

namespace {

Bytes pixelBytes(const ImageRecord& image) { return Bytes(image.pixelData, image.pixelData + image.pixelDataSize); }

template <class Table>
Lines fieldsOf(const Table& table) {
  Lines lines;
  for (const auto& [id, record] : table) lines.push_back(Fields(record));
  return lines;
}

}  // namespace

TEST_F(ImageFile, LoadsEveryRecordWhereverTheIndexPutsItAndTheFirstOfAnIdStays) {
  const ImageDef splash{.id = 6, .reserved = 0x42, .width = 3, .height = 2, .words = {1, 2, 0, 2, 3}};
  const ImageDef panel{.id = 5, .saveUnder = 1, .width = 4, .height = 3, .words = {0, 11}};
  const ImageDef odd{.id = 9, .saveUnder = 2, .width = 1, .height = 1, .words = {0xFFFF}};
  const ImageDef empty{.id = 10, .saveUnder = 1, .width = 0, .height = 7, .words = {}};
  const ImageDef again{.id = 6, .width = 2, .height = 2, .words = {8}};
  // The data area holds the records backwards; only the index says where each starts.
  write("images.dat", Indexed({ImageEntry(splash), ImageEntry(panel), ImageEntry(odd), ImageEntry(empty), ImageEntry(again)},
                              {4, 3, 2, 1, 0}));
  ASSERT_EQ(loadImages(), LoadOk);
  EXPECT_EQ(log(), (Lines{"Loaded 5 images."}));
  // Only saveUnder 1 asks for a save buffer, and a 0 x 7 image gets none (nor any pixel data).
  EXPECT_EQ(fieldsOf(imageTable), (Lines{"id=5 saveUnder=1 reserved=0 size=4x3 dataSize=4 saveBuffer=1",
                                         "id=6 saveUnder=0 reserved=66 size=3x2 dataSize=10 saveBuffer=0",
                                         "id=9 saveUnder=2 reserved=0 size=1x1 dataSize=2 saveBuffer=0",
                                         "id=10 saveUnder=1 reserved=0 size=0x7 dataSize=0 saveBuffer=0"}));
  EXPECT_EQ(pixelBytes(imageTable.at(6)), Words(splash.words));
  EXPECT_EQ(pixelBytes(imageTable.at(5)), Words(panel.words));
  std::memset(imageTable.at(5).saveBuffer, 0xAB, 4 * 3 * sizeof(uint16_t));  // the whole buffer is ours to write

  // A second load adds new ids and leaves those already there alone.
  write("images.dat", Indexed({ImageEntry({.id = 6, .width = 9, .height = 9, .words = {9}}),
                               ImageEntry({.id = 2, .width = 3, .height = 1, .words = {1, 2}})}));
  ASSERT_EQ(loadImages(), LoadOk);
  EXPECT_EQ(log().back(), "Loaded 2 images.");
  ASSERT_EQ(imageTable.size(), 5u);
  EXPECT_EQ(imageTable.at(6).width, 3);
  EXPECT_EQ(pixelBytes(imageTable.at(6)), Words(splash.words));
  EXPECT_EQ(imageTable.at(2).width, 3);
}

TEST_F(ImageFile, MalformedFilesAreRefusedWholeWithOneLine) {
  const Bytes good = Indexed({ImageEntry({.id = 1, .width = 2, .height = 1, .words = {5, 6}}),
                              ImageEntry({.id = 2, .saveUnder = 1, .width = 2, .height = 2, .words = {0, 3}})});
  expectRefused("images.dat", loadImages,
                {{"count cut short", Bytes{2, 0}, "ends inside the record count"},
                 {"count larger than the file", Set32(good, 0, 1000), "count 1000 needs 8004 bytes"},
                 {"count near 2^32", Set32(good, 0, 0xFFFFFFFF), "count 4294967295"},
                 {"offset past the end", Set32(good, 12, 0xFFFFFFF0), "index entry 1: the record starts at byte"},
                 {"header cut short", Cut(good, 4 + 5), "index entry 1: the header at byte 34 is cut short: 5 of 10"},
                 {"size past the end", Set32(good, 8, 0xFFFFFFFF),
                  "index entry 0 (id 1): its 4294967295 bytes after the header run past"},
                 {"pixel data cut short", Cut(good, 1), "index entry 1 (id 2): its 4 bytes after the header run past"}},
                [] { return imageTable.empty(); });
}

TEST_F(FontFile, LoadsSheetsAsPixelsKeepsShortSheetsAndTheFontsAlreadyThere) {
  FontDef one{.id = 1, .glyphWidth = 6, .glyphHeight = 8, .sheet = FullSheet(6, 8)};
  FontDef two{.id = 2, .glyphWidth = 1, .glyphHeight = 2, .sheet = FullSheet(1, 2)};
  two.sheet[0] = 0xF800;
  two.sheet[1] = 0x001F;
  IndexedRecord shortOne = FontEntry({.id = 4, .glyphWidth = 2, .glyphHeight = 2, .sheet = {1, 2, 3}});
  shortOne.bytes.push_back(0x77);  // half a pixel, left out
  shortOne.size += 1;
  write("fonts.dat", Indexed({FontEntry(one), FontEntry(two), shortOne}, {2, 1, 0}));
  ASSERT_EQ(loadFonts(), LoadOk);
  EXPECT_EQ(log(), (Lines{"fonts.dat: index entry 2 (font 4): the glyph sheet holds 3 pixels, fewer than the 384 of "
                          "codes 32 to 127; missing cells are drawn blank",
                          "Loaded 3 fonts."}));
  EXPECT_EQ(fieldsOf(fontTable), (Lines{"id=1 glyph=6x8 sheetPixels=4608", "id=2 glyph=1x2 sheetPixels=192",
                                        "id=4 glyph=2x2 sheetPixels=3"}));
  for (const FontDef& font : {one, two}) {
    EXPECT_TRUE(std::equal(font.sheet.begin(), font.sheet.end(), fontTable.at(font.id).glyphSheet)) << font.id;
  }
  EXPECT_EQ(fontTable.at(4).glyphSheet[2], 3);
  // Loading again keeps the fonts already there.
  write("fonts.dat", Indexed({FontEntry({.id = 1, .glyphWidth = 2, .glyphHeight = 1, .sheet = FullSheet(2, 1)}),
                              FontEntry({.id = 3, .glyphWidth = 2, .glyphHeight = 1, .sheet = FullSheet(2, 1)})}));
  ASSERT_EQ(loadFonts(), LoadOk);
  EXPECT_EQ(fontTable.size(), 4u);
  EXPECT_EQ(fontTable.at(1).glyphWidth, 6);

  expectRefused("fonts.dat", loadFonts,
                {{"sheet cut short", Cut(Indexed({FontEntry({.id = 3, .glyphWidth = 1, .glyphHeight = 1, .sheet = FullSheet(1, 1)})}), 2),
                  "index entry 0 (id 3): its 192 bytes after the header run past"}},
                [] { return fontTable.empty(); });
}
