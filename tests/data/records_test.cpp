// records_test.cpp -- art.dat, dialogs.dat and events.dat: records, texts, action lists and reloads.
#include <cstdio>
#include <tuple>

#include "data/data_fixture.h"

using namespace data_builder;
using Lines = std::vector<std::string>;

class ArtifactFile : public DataFileTest {};
class DialogFile : public DataFileTest {};
class EventFile : public DataFileTest {};

TEST_F(ArtifactFile, LoadsEveryRecordInFileOrderDuplicatesIncluded) {
  write("art.dat", Artifacts({{.id = 50, .name = "Golden key", .screenNumber = 12, .x = 30, .y = 40, .state = Lying},
                              {.id = 7, .name = "", .screenNumber = 0xFFFF, .x = 0xFFFF, .y = 1, .state = 9},
                              {.id = 50, .name = "Second key", .state = Carried}}));
  ASSERT_EQ(loadArtifacts(), LoadOk);
  EXPECT_EQ(log(), (Lines{"Loaded 3 artifacts."}));
  ASSERT_EQ(artifactList.size(), 3u);
  auto it = artifactList.begin();
  EXPECT_EQ(it->id, 50u);
  EXPECT_STREQ(it->name, "Golden key");
  EXPECT_EQ(it->screenNumber, 12);
  EXPECT_EQ(it->x, 30);
  EXPECT_EQ(it->y, 40);
  EXPECT_EQ(it->state, Lying);
  ++it;
  EXPECT_EQ(it->id, 7u);
  EXPECT_EQ(it->name[0], '\0');
  EXPECT_EQ(it->screenNumber, 0xFFFF);
  EXPECT_EQ(it->state, 9);
  ++it;
  EXPECT_STREQ(it->name, "Second key");
  EXPECT_EQ(it->state, Carried);
}

TEST_F(ArtifactFile, NameFillingItsFieldIsCutWithALine) {
  const std::string full(32, 'N');
  write("art.dat", Artifacts({{.id = 5, .name = full}}));
  ASSERT_EQ(loadArtifacts(), LoadOk);
  EXPECT_EQ(log(), (Lines{"art.dat: record 0 (artifact 5): the name has no ending 0; cut to 31 characters",
                          "Loaded 1 artifacts."}));
  EXPECT_EQ(std::string(artifactList.front().name), std::string(31, 'N'));
}

TEST_F(ArtifactFile, ReloadReturnsToTheStoredStates) {
  write("art.dat", Artifacts({{.id = 1, .screenNumber = 3, .state = Lying}}));
  ASSERT_EQ(loadArtifacts(), LoadOk);
  artifactList.front().state = Carried;  // as a game would change it
  artifactList.push_back(Artifact{});
  ASSERT_EQ(loadArtifacts(), LoadOk);
  ASSERT_EQ(artifactList.size(), 1u);
  EXPECT_EQ(artifactList.front().state, Lying);
  EXPECT_EQ(artifactList.front().screenNumber, 3);
}

TEST_F(ArtifactFile, CountOnlyMissingEmptyAndShortFiles) {
  write("art.dat", Artifacts({}));
  EXPECT_EQ(loadArtifacts(), LoadOk);
  EXPECT_EQ(log(), (Lines{"Loaded 0 artifacts."}));
  write("art.dat", Artifacts({{.id = 1}}));
  ASSERT_EQ(loadArtifacts(), LoadOk);
  write("art.dat", Bytes{});
  EXPECT_EQ(loadArtifacts(), LoadOther);
  EXPECT_TRUE(artifactList.empty());  // emptied on entry, whatever follows
  std::remove(dir.file("art.dat").c_str());
  EXPECT_EQ(loadArtifacts(), LoadCannotOpen);

  Bytes oneShort = Artifacts({{.id = 1}, {.id = 2}});
  oneShort.pop_back();
  // Trailing bytes beyond the records are no harm; missing ones are.
  Bytes trailing = Artifacts({{.id = 1}});
  trailing.push_back(0xEE);
  write("art.dat", trailing);
  EXPECT_EQ(loadArtifacts(), LoadOk);
  expectRefused("art.dat", loadArtifacts,
                {{"count cut short", Bytes{1}, "ends inside the record count (1 of its 4 bytes)"},
                 {"count larger than the file", Artifacts({{.id = 1}}, 1000), "count 1000 needs 43004 bytes, but the file has 47"},
                 {"last record cut short", oneShort, "count 2 needs 90 bytes, but the file has 89"},
                 {"count near 2^32", Artifacts({}, 0xFFFFFFFF), "count 4294967295 needs"}},
                [] { return artifactList.empty(); });
}

TEST_F(DialogFile, LoadsTextsByIdFirstOfAnIdStays) {
  write("dialogs.dat", Dialogs({{.id = 4, .text = "Hello @fF800world"},
                                {.id = 2, .text = "Line one\r\nLine two"},
                                {.id = 4, .text = "Ignored"},
                                {.id = 9, .text = ""}}));
  ASSERT_EQ(loadDialogs(), LoadOk);
  EXPECT_EQ(log(), (Lines{"Loaded 4 dialogs."}));
  ASSERT_EQ(dialogTable.size(), 3u);
  EXPECT_EQ(dialogTable.at(4).id, 4u);
  EXPECT_STREQ(dialogTable.at(4).text, "Hello @fF800world");
  EXPECT_STREQ(dialogTable.at(2).text, "Line one\r\nLine two");
  EXPECT_EQ(dialogTable.at(9).text[0], '\0');
}

TEST_F(DialogFile, TextFillingItsFieldIsCutWithALine) {
  write("dialogs.dat", Dialogs({{.id = 1, .text = std::string(128, 'x')}}));
  ASSERT_EQ(loadDialogs(), LoadOk);
  EXPECT_EQ(log(), (Lines{"dialogs.dat: record 0 (dialog 1): the text has no ending 0; cut to 127 characters",
                          "Loaded 1 dialogs."}));
  EXPECT_EQ(std::string(dialogTable.at(1).text), std::string(127, 'x'));
}

TEST_F(DialogFile, LoadingAgainAddsAndKeeps) {
  write("dialogs.dat", Dialogs({{.id = 1, .text = "first"}}));
  ASSERT_EQ(loadDialogs(), LoadOk);
  write("dialogs.dat", Dialogs({{.id = 1, .text = "second"}, {.id = 2, .text = "new"}}));
  ASSERT_EQ(loadDialogs(), LoadOk);
  EXPECT_STREQ(dialogTable.at(1).text, "first");
  EXPECT_STREQ(dialogTable.at(2).text, "new");
}

TEST_F(DialogFile, MissingEmptyAndShortFiles) {
  EXPECT_EQ(loadDialogs(), LoadOther);
  EXPECT_EQ(log(), (Lines{"Failed to open dialogs.dat"}));
  write("dialogs.dat", Bytes{});
  EXPECT_EQ(loadDialogs(), LoadOk);  // no count to read: no dialogs
  EXPECT_EQ(log().back(), "Loaded 0 dialogs.");

  Bytes short1 = Dialogs({{.id = 1, .text = "a"}, {.id = 2, .text = "b"}});
  short1.resize(short1.size() - 100);
  expectRefused("dialogs.dat", loadDialogs,
                {{"count cut short", Bytes{3, 0}, "ends inside the record count (2 of its 4 bytes)"},
                 {"count larger than the file", short1, "count 2 needs 268 bytes, but the file has 168"},
                 {"count near 2^32", Dialogs({}, 0xFFFFFFFF), "count 4294967295 needs"}},
                [] { return dialogTable.empty(); });
}

TEST_F(EventFile, LoadsHeadersAndActionListsWhereverTheIndexPutsThem) {
  const EventDef touch{.id = 7, .width = 30, .height = 40, .trigger = Touch, .armState = Armed,
                        .reserved = {1, 2, 3, 4}, .triggerParam = 0xDEADBEEF,
                        .actions = {{.opcode = GoToScreen, .argument = 12, .x = 100, .y = 150},
                                    {.opcode = ShowDialog, .argument = 3},
                                    {.opcode = 200, .argument = 0xFFFFFFFF, .x = 0xFFFF, .y = 0xFFFF}}};
  const EventDef silent{.id = 9, .trigger = UseArtifact, .armState = Disarmed, .triggerParam = 50};
  // touch lies first in the data area; a third index entry points at it again.
  Bytes file = Indexed({EventEntry(silent), EventEntry(touch)}, {1, 0});
  Bytes shared;
  layout::put32(shared, 3);
  shared.insert(shared.end(), file.begin() + 4, file.begin() + 20);
  layout::put32(shared, 0);
  layout::put32(shared, 0);
  shared.insert(shared.end(), file.begin() + 20, file.end());
  write("events.dat", shared);
  ASSERT_EQ(loadEvents(), LoadOk);
  EXPECT_EQ(log(), (Lines{"Loaded 3 events."}));
  ASSERT_EQ(eventTable.size(), 2u);
  const Event& e = eventTable.at(7);
  EXPECT_EQ(e.id, 7u);
  EXPECT_EQ(e.width, 30);
  EXPECT_EQ(e.height, 40);
  EXPECT_EQ(e.trigger, Touch);
  EXPECT_EQ(e.armState, Armed);
  EXPECT_EQ(std::vector<uint8_t>(e.reserved, e.reserved + 4), (std::vector<uint8_t>{1, 2, 3, 4}));
  EXPECT_EQ(e.triggerParam, 0xDEADBEEFu);
  ASSERT_EQ(e.actionCount, 3);
  ASSERT_EQ(e.actions.size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    const EventAction& got = e.actions[i];
    const ActionDef& want = touch.actions[i];
    EXPECT_EQ(std::tie(got.opcode, got.argument, got.x, got.y), std::tie(want.opcode, want.argument, want.x, want.y));
  }
  const Event& s = eventTable.at(9);
  EXPECT_EQ(s.actionCount, 0);
  EXPECT_TRUE(s.actions.empty());
  EXPECT_EQ(s.armState, Disarmed);
  EXPECT_EQ(s.triggerParam, 50u);
}

TEST_F(EventFile, FirstEventOfAnIdStays) {
  write("events.dat", Indexed({EventEntry({.id = 1, .width = 5}), EventEntry({.id = 1, .width = 6})}));
  ASSERT_EQ(loadEvents(), LoadOk);
  EXPECT_EQ(log(), (Lines{"Loaded 2 events."}));
  EXPECT_EQ(eventTable.at(1).width, 5);
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

TEST_F(EventFile, CountZeroLoadsNothingAndAnEmptyFileFails) {
  write("events.dat", Indexed({}));
  EXPECT_EQ(loadEvents(), LoadOk);
  write("events.dat", Bytes{});
  EXPECT_EQ(loadEvents(), LoadOther);
  EXPECT_EQ(log(), (Lines{"Loaded 0 events."}));
}

TEST_F(EventFile, MalformedFilesAreRefusedWholeWithOneLine) {
  const Bytes good = Indexed({EventEntry({.id = 1, .actions = {{.opcode = 4}}}),
                              EventEntry({.id = 2, .actions = {{.opcode = 1}, {.opcode = 2}}})});
  // Record 2 starts at 4 + 16 + 19 + 9 = 48 and ends at the file's end, 48 + 19 + 18 = 85.
  Bytes bigCount = good;
  layout::write32(bigCount.data(), 11);
  Bytes offsetPast = good;
  layout::write32(offsetPast.data() + 12, 0x80000000);
  Bytes headerCut = good;
  layout::write32(headerCut.data() + 12, 85 - 20 - 18);
  Bytes actionsPast = good;
  actionsPast[48 + layout::event::kActionCount] = 255;
  Bytes lastActionCut = good;
  lastActionCut.pop_back();
  expectRefused("events.dat", loadEvents,
                {{"count cut short", Bytes{1, 0, 0}, "ends inside the record count"},
                 {"count larger than the file", bigCount, "count 11 needs 92 bytes of count and index, but the file has 85"},
                 {"offset past the end", offsetPast, "index entry 1: the record starts at byte 2147483668, past the end"},
                 {"header cut short", headerCut, "index entry 1: the 19-byte header at byte 67 is cut short"},
                 {"action count past the end", actionsPast, "index entry 1 (event 2): its 255 actions run past the end"},
                 {"last action cut short", lastActionCut, "index entry 1 (event 2): its 2 actions run past the end"}},
                [] { return eventTable.empty(); });
}
