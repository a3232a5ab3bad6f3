// reports_test.cpp -- every kind of bad source is reported with its file and JSON path and a failed pack
// writes nothing; check finds what stops the game, what it lacks and what leads nowhere. The reports
// are golden texts (tests/golden/tools), each after the change that caused it.
#include <gtest/gtest.h>

#include "support/golden.h"
#include "text.h"
#include "world_builder.h"

namespace zdtest {
namespace {

const json changes = fixture("reports.json");  // the cases, by test

// The changes as a heading of the golden text, long values cut short.
std::string heading(const json& patches) {
  std::string text = "---";
  for (const json& change : patches) {
    const std::string value = change[1].dump();
    text += " " + change[0].get<std::string>() +
            (change[1].is_null() ? " removed" : " = " + (value.size() > 60 ? value.substr(0, 57) + "..." : value));
  }
  return text + "\n";
}

TEST(PackErrors, EveryBadSourceIsNamedByItsPathAndAFailedPackWritesNothing) {
  TempDir src, out;
  // worlds/reports/: a picture that is none, a PNG header alone (5000 x 5000: refused before anything is
  // decoded), a strip of 50 x 4, a frame of 256 x 4, music that is no RIFF.
  const json world = goodWorld(src.path(), "reports");
  std::string text;
  for (const json& patches : changes["pack-errors"]) {
    writeJson(src / "world.json", patched(world, patches));
    const Bytes before = readFile(out / "images.dat");
    const ToolRun run = pack(src.path(), out.path());
    text += heading(patches) + run.err + "pack: " + std::to_string(run.code) + ", " +
            std::to_string(listFolder(out.path()).size()) + " files" +
            (readFile(out / "images.dat") == before ? "" : ", images.dat written") + "\n";
  }
  testing_support::ExpectGoldenText(namedPath(namedPath(text, src.path(), "SRC"), out.path(), "OUT"),
                                    "tools/pack-errors.txt");
}

TEST(PackErrors, ManifestsThatDoNotReadAndIncludedFilesNameTheirOwnPlaces) {
  TempDir src, out;
  std::string text = namedPath(dump(readReport(src.path())), src.path(), "SRC");
  writeFile(src / "world.json", "{ \"format\": \"zelvo-world 1\",\n  \"images\": [ }");
  text += dump(readReport(src.path()));
  writeFile(src / "world.json", "{ \"images\": 3e333 }");  // too large for a double
  text += dump(readReport(src.path())) + "pack: " + std::to_string(pack(src.path(), out / "data").code) + "\n";

  json world = goodWorld(src.path());
  json story = {{"events", world["events"]}, {"dialogs", world["dialogs"]}};
  world.erase("events");
  world.erase("dialogs");
  world["include"] = {"story/story.json"};
  writeJson(src / "world.json", world);
  for (const json& change : changes["story"]) {
    writeJson(src / "story/story.json", patched(story, change));
    text += heading(change) + dump(readReport(src.path()));
  }
  // Paths in an included file are its own folder's.
  world = goodWorld(src.path(), "reports");  // with parts/pics/x.png
  writeJson(src / "parts/more.json", {{"sprites", {{{"id", 77}, {"kind", "scenery"}, {"frames", {"pics/x.png"}}}}}});
  world["include"] = {"parts/more.json"};
  writeJson(src / "world.json", world);
  text += "parts/more.json: pack " + std::to_string(pack(src.path(), out / "data").code) + "\n";
  // Values the game stores but ignores warn.
  writeJson(src / "world.json", patched(goodWorld(src.path()), changes["ignored"]));
  text += heading(changes["ignored"]) + dump(readReport(src.path()));
  testing_support::ExpectGoldenText(namedPath(text, src.path(), "SRC"), "tools/manifest-errors.txt");
}

class Check : public ::testing::Test {
 protected:
  TempDir src, data;
  // Packs the world changed by patches into the emptied data folder and checks it.
  std::string packed(const json& patches = json::array()) {
    for (const auto& name : listFolder(data.path())) fs::remove_all(data / name);
    writeJson(src / "world.json", patched(goodWorld(src.path(), "reports"), patches));  // fonts/short.png too
    ToolRun run = pack(src.path(), data.path());
    EXPECT_EQ(run.code, 0) << run.err;
    return heading(patches) + dump(checkReport(data.path()));
  }
};

TEST_F(Check, AGoodWorldIsCleanAndFilesTheGameCannotLoadAreErrorsInTextOrJson) {
  std::string text = packed();
  const auto good = folderFiles(data.path());
  for (const json& change : changes["check-files"]) {
    for (const auto& [name, good] : good) writeFile(data / name, good);
    const std::string file = change[0];
    const Bytes bytes = hex(change[1].is_null() ? "" : change[1].get<std::string>());
    writeFile(data / file, bytes);
    if (change[1].is_null()) fs::remove(data / file);
    const ToolRun run = check(data.path());
    text += "--- " + file + (change[1].is_null() ? " removed\n" : " of " + std::to_string(bytes.size()) + " bytes\n") +
            run.out + "exit " + std::to_string(run.code) + "\n";
  }
  packed(json::parse(R"([["/images/4", null]])"));  // image 5
  text += check(data.path(), true).out;
  testing_support::ExpectGoldenText(namedPath(text, data.path(), "DATA"), "tools/check-files.txt");
}

TEST_F(Check, ReportsWhatTheGameLacksAndWhatLeadsNowhere) {
  std::string text;
  for (const json& patches : changes["check-world"]) text += packed(patches);
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
  Bytes dialogs = readFile(data / "dialogs.dat");
  dialogs.push_back(0);
  writeFile(data / "dialogs.dat", dialogs);
  text += "--- ignored records\n" + dump(checkReport(data.path()));
  testing_support::ExpectGoldenText(namedPath(text, data.path(), "DATA"), "tools/check-world.txt");
}

}  // namespace
}  // namespace zdtest
