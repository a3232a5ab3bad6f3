// reports_test.cpp -- every kind of bad source is reported with its file and JSON path and a failed pack
// writes nothing; check finds what stops the game, what it lacks and what leads nowhere. The reports
// are golden texts (tests/golden/tools), each after the change that caused it.
#include <gtest/gtest.h>

#include <optional>

#include "support/golden.h"
#include "text.h"
#include "world_builder.h"

namespace zdtest {
namespace {

std::string repeated(std::size_t n, const std::string& item) {
  std::string list = "[";
  for (std::size_t i = 0; i < n; ++i) list += (i ? "," : "") + item;
  return list + "]";
}

// The changes as a heading of the golden text, long values cut short.
std::string heading(const Patches& patches) {
  std::string text = "---";
  for (const auto& [pointer, value] : patches)
    text += " " + pointer +
            (value.empty() ? " removed" : " = " + (value.size() > 60 ? value.substr(0, 57) + "..." : value));
  return text + "\n";
}

// A text with the temporary folder's name replaced by a word.
std::string named(const std::string& text, const TempDir& dir, const std::string& word) {
  return namedPath(text, dir.path(), word);
}

TEST(PackErrors, EveryBadSourceIsNamedByItsPathAndAFailedPackWritesNothing) {
  const Patches cases[] = {
      {{"/images/4/picture", R"("images/nowhere.png")"}},
      {{"/images/0/picture", R"("images/broken.png")"}},
      {{"/images/0/picture", R"("images/huge.png")"}},
      {{"/sprites/1/frames", R"({"strip": "sprites/strip.png", "count": 3})"}},
      {{"/sprites/1/frames", R"(["sprites/wide.png"])"}},
      {{"/sprites/1/frames", R"({"size": [4, 1], "count": 1, "data": "AAAAAAEA"})"}},
      {{"/sprites/1/frames/-", R"("sprites/key.png")"}},
      {{"/events/0/actions/0", R"({"do": "explode"})"}},
      {{"/sprites/0/kind", R"("hero")"}},
      {{"/events/1/trigger", R"("step")"}},
      {{"/artifacts/0/state", R"("lost")"}},
      {{"/dialogs/0/text", '"' + std::string(128, 'a') + '"'}},
      {{"/artifacts/0/name", '"' + std::string(32, 'n') + '"'}},
      {{"/dialogs/0/text", "\"5 \xE2\x82\xAC\""}},
      {{"/images/-", R"({"id": 6, "picture": "images/panel.png"})"}},
      {{"/screens/-", R"({"number": 2})"}},
      {{"/screens/0/objects/0/x", "70000"}},
      {{"/screens/0/number", "101"}},
      {{"/sprites/0/animRate", "-1"}},
      {{"/events/0/size", "[1.5, 2]"}},
      {{"/screens/0/objects", repeated(65, R"({"sprite": 10, "x": 0, "y": 0})")}},
      {{"/screens/0/events", repeated(17, R"({"event": 1, "x": 0, "y": 0})")}},
      {{"/events/0/actions", repeated(256, R"({"do": "nothing"})")}},
      {{"/events/0/trigger", ""}},
      {{"/images/2/savebuffer", "true"}},
      {{"/events/1/actions/2/x", ""}},
      {{"/images", "[1]"}},
      {{"/dialogs/0/text", "5"}},
      {{"/fonts/0/cell", "[5, 8]"}},
      {{"/images/0", R"({"id": 1, "size": [2, 2], "data": "not base64!"})"}},
      {{"/events/0/reserved", R"("123")"}},
      {{"/music/title", R"("music/text.wav")"}},
      {{"/music/game", R"("music/none.wav")"}},
      {{"/format", R"("zelvo-world 2")"}},
      // Notes are not unknown fields, and a good world packs: the player strip's opaque corners warn.
      {{"/images/0/comment", R"("the frame")"}, {"/sprites/0/_source", R"("x")"}},
      // A failed pack leaves the files already there alone.
      {{"/images/0/picture", R"("images/missing.png")"}, {"/images/1/id", "99"}},
  };
  TempDir src, out;
  const json world = goodWorld(src.path());
  writeText(src / "images/broken.png", "not a picture");
  // A header alone: the size is refused before anything is decoded.
  writeText(src / "images/huge.png",
            std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\x13\x88\0\0\x13\x88\x08\x06\0\0\0\0\0\0\0", 33));
  writePlainPng(src / "sprites/strip.png", 50, 4);
  writePlainPng(src / "sprites/wide.png", 256, 4);
  writeText(src / "music/text.wav", "hello, not RIFF");
  std::string text;
  for (const Patches& patches : cases) {
    writeJson(src / "world.json", patched(world, patches));
    const Bytes before = readFile(out / "images.dat");
    const ToolRun run = pack(src.path(), out.path());
    text += heading(patches) + run.err + "pack: " + std::to_string(run.code) + ", " +
            std::to_string(listFolder(out.path()).size()) + " files" +
            (readFile(out / "images.dat") == before ? "" : ", images.dat written") + "\n";
  }
  testing_support::ExpectGoldenText(named(named(text, src, "SRC"), out, "OUT"), "tools/pack-errors.txt");
}

TEST(PackErrors, ManifestsThatDoNotReadAndIncludedFilesNameTheirOwnPlaces) {
  TempDir src, out;
  std::string text = named(dump(readReport(src.path())), src, "SRC");
  writeText(src / "world.json", "{ \"format\": \"zelvo-world 1\",\n  \"images\": [ }");
  text += dump(readReport(src.path()));
  writeText(src / "world.json", "{ \"images\": 3e333 }");  // too large for a double
  text += dump(readReport(src.path())) + "pack: " + std::to_string(pack(src.path(), out / "data").code) + "\n";

  json world = goodWorld(src.path());
  json story = {{"events", world["events"]}, {"dialogs", world["dialogs"]}};
  world.erase("events");
  world.erase("dialogs");
  world["include"] = {"story/story.json"};
  writeJson(src / "world.json", world);
  for (const Patches& change :
       {Patches{{"/events/1/actions/0/do", R"("spend")"}}, Patches{{"/include", R"(["more.json"])"}}}) {
    writeJson(src / "story/story.json", patched(story, change));
    text += heading(change) + dump(readReport(src.path()));
  }
  // Paths in an included file are its own folder's.
  world = goodWorld(src.path());
  writePlainPng(src / "parts/pics/x.png", 3, 3);
  writeJson(src / "parts/more.json", {{"sprites", {{{"id", 77}, {"kind", "scenery"}, {"frames", {"pics/x.png"}}}}}});
  world["include"] = {"parts/more.json"};
  writeJson(src / "world.json", world);
  text += "parts/more.json: pack " + std::to_string(pack(src.path(), out / "data").code) + "\n";
  // Values the game stores but ignores warn.
  const Patches ignored = {{"/screens/0/objects/-", R"({"sprite": 1500, "x": 0, "y": 0})"},
                           {"/screens/0/objects/-", R"({"sprite": 0, "x": 0, "y": 0})"},
                           {"/screens/0/objects/-", R"({"sprite": 10, "x": 0, "y": 0, "layer": 40})"},
                           {"/sprites/1/kind", "8"},
                           {"/artifacts/-", R"({"id": 50, "name": "Twin", "state": "hidden"})"}};
  writeJson(src / "world.json", patched(goodWorld(src.path()), ignored));
  text += heading(ignored) + dump(readReport(src.path()));
  testing_support::ExpectGoldenText(named(text, src, "SRC"), "tools/manifest-errors.txt");
}

class Check : public ::testing::Test {
 protected:
  TempDir src, data;
  // Packs the world changed by patches into the emptied data folder and checks it.
  std::string packed(const Patches& patches = {}) {
    for (const auto& name : listFolder(data.path())) fs::remove_all(data / name);
    writeJson(src / "world.json", patched(goodWorld(src.path()), patches));
    ToolRun run = pack(src.path(), data.path());
    EXPECT_EQ(run.code, 0) << run.err;
    return heading(patches) + dump(checkReport(data.path()));
  }
};

TEST_F(Check, AGoodWorldIsCleanAndFilesTheGameCannotLoadAreErrorsInTextOrJson) {
  std::string text = packed();
  const auto good = dataFiles(data.path());
  const std::pair<const char*, std::optional<Bytes>> cases[] = {
      // none: the file is removed
      {"dialogs.dat", std::nullopt},
      {"sprites.dat", Bytes{}},
      {"events.dat", Bytes{}},
      {"art.dat", Bytes{}},
      {"map.dat", zeros(90001)},
      {"images.dat", hex("FF000000")},
      {"sprites.dat", hex("0100")},
      {"art.dat", hex("02000000")},
      {"dialogs.dat", cat({hex("02000000 01000000"), zeros(128)})},
      {"dialogs.dat", hex("00")},
      {"fonts.dat", hex("000000")},
      {"images.dat", cat({hex("01000000 00000000 64000000"), zeros(10)})},
      {"fonts.dat", hex("01000000 10000000 00000000 01000000 0100 0100")},
      // Sprite 10, 3 x 1 pixels, whose one frame runs past its 6 bytes (pack refuses to write it).
      {"sprites.dat", cat({hex("01000000 00000000 06000000 0A000000"), zeros(32), hex("03010000 03010000 00"), zeros(4),
                           hex("00000000 0100")})},
      {"events.dat", cat({hex("01000000 00000000 00000000"), zeros(18), hex("02"), zeros(9)})},
      {"dialogs.dat", Bytes{}},  // no dialogs loaded: only what names them fails
  };
  for (const auto& [file, bytes] : cases) {
    for (const auto& [name, good] : good) writeFile(data / name, good);
    if (bytes)
      writeFile(data / file, *bytes);
    else
      fs::remove(data / file);
    const ToolRun run = check(data.path());
    text += std::string("--- ") + file + (bytes ? " of " + std::to_string(bytes->size()) + " bytes\n" : " removed\n") +
            run.out + "exit " + std::to_string(run.code) + "\n";
  }
  packed({{"/images/4", ""}});  // image 5
  text += check(data.path(), true).out;
  testing_support::ExpectGoldenText(named(text, data, "DATA"), "tools/check-files.txt");
}

TEST_F(Check, ReportsWhatTheGameLacksAndWhatLeadsNowhere) {
  const Patches cases[] = {
      // Data the game cannot decode.
      {{"/images/0", R"({"id": 1, "size": [4, 4], "data": ")" + zdata::toBase64(hex("0100 0200")) + "\"}"}},
      // What the game asks for.
      {{"/images/4", ""}, {"/images/33", ""}},  // 5, then 501
      {{"/images/2/saveBuffer", "false"}},
      {{"/fonts/0/sheet", R"("fonts/short.png")"}, {"/fonts/1", ""}},
      {{"/sprites/0/frames/count", "8"}},
      {{"/sprites/0/kind", R"("front")"}},
      {{"/sprites/0", ""}},
      {{"/screens/0/number", "3"}, {"/events/1/actions/2/screen", "3"}},
      {{"/music", ""}},
      // References that lead nowhere.
      {{"/events/0/actions",
        R"([{"do": "showDialog", "dialog": 9}, {"do": "placeArtifact", "artifact": 8}, {"do": "spendArtifact",
            "artifact": 7}, {"do": "armEvent", "event": 6}, {"do": "disarmEvent", "event": 5}, {"do": "removeSprite",
            "sprite": 4}, {"do": "goToScreen", "screen": 99, "x": 0, "y": 0}])"}},
      {{"/events/1/param", "51"}},
      {{"/artifacts/-", R"({"id": 10, "name": "Rock", "screen": 40, "state": "placed"})"},
       {"/artifacts/-", R"({"id": 77, "name": "Ghost", "screen": 0, "state": "hidden"})"}},  // hidden: it has no place
      {{"/screens/1/objects/-", R"({"sprite": 11, "x": 0, "y": 0})"},
       {"/screens/1/events", R"([{"event": 12, "x": 0, "y": 0}])"}},
      // Screens nothing leads to; 56 lies below 55, so it is reached only if 55 is.
      {{"/screens/-", R"({"number": 55})"}, {"/screens/-", R"({"number": 56})"}},
      {{"/screens/-", R"({"number": 55})"},
       {"/screens/-", R"({"number": 56})"},
       {"/events/0/actions/-", R"({"do": "goToScreen", "screen": 55, "x": 0, "y": 0})"}},
      // Content the player never meets: an artifact nothing brings into play, a text nobody shows;
      // the hidden one an event places is fine.
      {{"/artifacts/-", R"({"id": 3, "name": "Lost", "state": "hidden"})"},
       {"/artifacts/-", R"({"id": 10, "name": "Found", "state": "hidden"})"},
       {"/events/0/actions/-", R"({"do": "placeArtifact", "artifact": 10})"},
       {"/dialogs/-", R"({"id": 2, "text": "x"})"}},
      // Picking artifact 50 up on screen 2 would take the placed sprite 50 instead.
      {{"/screens/1/objects/-", R"({"sprite": 50, "x": 0, "y": 0})"}},
      {{"/dialogs/0/text", R"("one\ntwo\nthree\nfour\nfive\nsix\nseven\neight")"}},
      // Values the game treats as nothing.
      {{"/events/-", R"({"id": 3, "size": [1, 1], "trigger": 0, "armed": 3, "actions": [{"opcode": 13},
          {"do": "goToScreen", "screen": 2, "x": 0, "y": 0}, {"do": "addScore", "points": 1}]})"},
       {"/sprites/1/kind", "7"},
       {"/artifacts/0/state", "9"}},
  };
  writePlainPng(src / "fonts/short.png", 32 * 6, 2 * 8);
  std::string text;
  for (const Patches& patches : cases) text += packed(patches);
  // Records the game ignores: a second image 6 at the end of images.dat, a map record numbered 200,
  // a stray byte after the dialogs.
  packed();
  zdata::Report ignored;
  std::vector<zdata::Image> list;
  std::vector<uint32_t> entries;
  ASSERT_TRUE(zdata::readImages(readFile(data / "images.dat"), list, entries, ignored));
  list.push_back(list[5]);
  writeFile(data / "images.dat", zdata::writeImages(list));
  Bytes map = readFile(data / "map.dat");
  map[900 * 50] = 200;
  writeFile(data / "map.dat", map);
  writeFile(data / "dialogs.dat", cat({readFile(data / "dialogs.dat"), hex("00")}));
  text += "--- ignored records\n" + dump(checkReport(data.path()));
  testing_support::ExpectGoldenText(named(text, data, "DATA"), "tools/check-world.txt");
}

}  // namespace
}  // namespace zdtest
