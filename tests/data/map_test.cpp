// map_test.cpp -- map.dat: slots by screen number, counts, sizes and reloads.
#include <cstdio>
#include <cstring>

#include "data/data_fixture.h"

using namespace data_builder;
using Lines = std::vector<std::string>;

namespace {

bool allSlotsEmpty() {
  for (const ScreenRecord& slot : screenMap) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(&slot);
    for (size_t i = 0; i < sizeof slot; ++i) {
      if (bytes[i] != 0) return false;
    }
  }
  return true;
}

// Every field of the slot equals the record's bytes (the record is the same in memory and in the
// file; this host is little-endian like the handheld).
bool sameAsFile(const ScreenRecord& slot, const ScreenDef& spec) {
  const Bytes bytes = ScreenBytes(spec);
  return std::memcmp(&slot, bytes.data(), sizeof slot) == 0;
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

class MapFile : public DataFileTest {};

TEST_F(MapFile, PlacesEachRecordInTheSlotOfItsNumber) {
  ScreenDef small{.number = 1, .objects = {{.id = 3, .x = 5, .y = 6}, {.id = 1500, .x = 1, .y = 1}, {.id = 9}},
               .events = {{.id = 7, .x = 8, .y = 9}}};
  write("map.dat", Map({fullScreen(57), small}));
  ASSERT_EQ(loadScreenMap(), LoadOk);
  EXPECT_EQ(log(), (Lines{"Loaded 2 screens."}));

  // Screen 57 lands in slot 56: column 5, row 6, with both lists used to the end.
  const ScreenRecord& s57 = screenMap[56];
  EXPECT_EQ(s57.screenNumber, 57u);
  EXPECT_EQ(s57.objects[63].spriteId, 163u);
  EXPECT_EQ(s57.objects[63].y, 126);
  EXPECT_EQ(s57.objects[5].layerOverride, 0x1234u);
  EXPECT_EQ(s57.events[15].eventId, 515u);
  EXPECT_EQ(s57.events[15].x, 16);
  EXPECT_TRUE(sameAsFile(s57, fullScreen(57)));
  // The lists are copied as they are; skipping big ids and stopping at 0 is the reader's job.
  EXPECT_EQ(screenMap[0].objects[1].spriteId, 1500u);
  EXPECT_TRUE(sameAsFile(screenMap[0], small));
  for (size_t slot = 1; slot < 100; ++slot) {
    if (slot != 56) {
      EXPECT_EQ(screenMap[slot].screenNumber, 0u) << slot;
    }
  }
}

TEST_F(MapFile, IgnoresNumberZeroAndNumbersAbove100) {
  write("map.dat", Map({fullScreen(0), fullScreen(101), fullScreen(0xFFFFFFFF), {.number = 100}, fullScreen(0)}));
  ASSERT_EQ(loadScreenMap(), LoadOk);
  EXPECT_EQ(log(), (Lines{"Loaded 1 screens."}));
  EXPECT_EQ(screenMap[99].screenNumber, 100u);
  EXPECT_EQ(screenMap[99].objects[0].spriteId, 0u);
  for (size_t slot = 0; slot < 99; ++slot) EXPECT_EQ(screenMap[slot].screenNumber, 0u);
}

TEST_F(MapFile, LaterRecordOfANumberWinsAndBothCount) {
  write("map.dat", Map({{.number = 12, .objects = {{.id = 1}}}, {.number = 3}, {.number = 12, .objects = {{.id = 2}}}}));
  ASSERT_EQ(loadScreenMap(), LoadOk);
  EXPECT_EQ(log(), (Lines{"Loaded 3 screens."}));
  EXPECT_EQ(screenMap[11].objects[0].spriteId, 2u);
}

TEST_F(MapFile, AllZeroRecordsLoadNoScreen) {
  write("map.dat", Map({}));
  ASSERT_EQ(loadScreenMap(), LoadOk);
  EXPECT_EQ(log(), (Lines{"Loaded 0 screens."}));
  EXPECT_TRUE(allSlotsEmpty());
}

TEST_F(MapFile, WrongSizeFailsAndLeavesEverySlotEmpty) {
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
}

TEST_F(MapFile, ReloadClearsSlotsEvenWhenTheFileIsGone) {
  write("map.dat", Map({fullScreen(20)}));
  ASSERT_EQ(loadScreenMap(), LoadOk);
  ASSERT_EQ(screenMap[19].screenNumber, 20u);
  std::remove(dir.file("map.dat").c_str());
  EXPECT_EQ(loadScreenMap(), LoadCannotOpen);
  EXPECT_TRUE(allSlotsEmpty());
  EXPECT_EQ(log(), (Lines{"Loaded 1 screens."}));  // a missing map says nothing itself
}
