// main.cpp -- the zelvo-data program: the command line of pack, unpack, tiled, check and info.
#include <CLI/CLI.hpp>

#include <iostream>

#include "commands.h"
#include "platform/common/process.h"
#include "generate.h"
#include "render.h"

namespace {

constexpr int kUsageError = 2;

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{
      "zelvo-data: the content tool of Zelvo. It packs a world's sources (a JSON manifest, PNG pictures and WAV "
      "music, described in docs/content-format.md) into the seven data files the game loads, unpacks data files "
      "into sources, checks and describes data sets, and draws their screens.",
      "zelvo-data"};
  app.allow_windows_style_options(false);  // a path such as /tmp/world is no option, on Windows too
  app.require_subcommand(1, 1);
  app.set_version_flag("--version", "zelvo-data " ZELVO_VERSION);
  app.footer("Exit codes: 0 done, 1 the input has errors (nothing written), 2 usage error.");

  std::string sources, output, dir;
  zdata::PackOptions packOptions;
  auto* pack = app.add_subcommand("pack", "Pack a world's sources into the seven data files (and its music).");
  pack->add_option("SOURCES", sources, "the world folder holding world.json, or a manifest file")->required();
  pack->add_option("-o,--output", output, "the folder for the data files; created when missing")->required();
  pack->add_flag("-q,--quiet", packOptions.quiet, "print only problems, no summary line");
  pack->footer("Nothing is written when the sources have errors; files are replaced only once all are written.");

  zdata::UnpackOptions unpackOptions;
  auto* unpack = app.add_subcommand("unpack", "Unpack a data set into a world's sources.");
  unpack->add_option("DIR", dir, "the folder holding the seven data files")->required();
  unpack->add_option("-o,--output", output, "the folder for the sources; must be empty or missing")->required();
  unpack->add_flag("-f,--force", unpackOptions.force, "replace the output folder even when it is not empty");
  unpack->footer("The sources are written beside the output folder and moved into place at the end.");

  zdata::TiledOptions tiledOptions;
  auto* tiled =
      app.add_subcommand("tiled", "Write a world's screens as Tiled maps, a sprite tileset and a Tiled world.");
  tiled->add_option("WORLD", sources, "the world folder holding world.json, a manifest file, or a folder of data files")
      ->required();
  tiled->add_option("-o,--output", output, "the folder for the Tiled files; created when missing")->required();
  tiled->add_flag("-f,--force", tiledOptions.force,
                  "write into a folder that is not empty, replacing files of the same names");
  tiled->footer(
      "A manifest whose \"tiled\" field names the world file then packs its screens from the maps. Nothing is "
      "written when a screen holds what a Tiled map cannot (see docs/content-format.md).");

  zdata::ReportOptions checkOptions;
  auto* check = app.add_subcommand("check", "Check a data set the way the game loads and uses it.");
  check->add_option("DIR", dir, "the folder holding the seven data files, or a world's sources (packed first)")
      ->required();
  check->add_flag("--json", checkOptions.json, "print the report as JSON");
  check->footer("Errors break the game; warnings are odd or lost content. Exit code 1 when there are errors.");

  zdata::ReportOptions infoOptions;
  auto* info = app.add_subcommand("info", "Show the counts, ids and sizes of everything in a data set.");
  info->add_option("DIR", dir, "the folder holding the seven data files")->required();
  info->add_flag("--json", infoOptions.json, "print as JSON");

  zdata::RenderOptions renderOptions;
  bool noEvents = false;
  auto* render =
      app.add_subcommand("render", "Draw every screen and the world map as PNG pictures, as the game draws them.");
  render->add_option("DIR", dir, "the folder holding the seven data files")->required();
  render->add_option("-o,--output", output, "the folder for screen-NNN.png and world.png; created when missing")
      ->required();
  render->add_flag("--no-events", noEvents, "leave the event rectangles unmarked");
  render->footer(
      "Each screen is built the way entering it builds it: background pictures, placed objects and the artifacts "
      "lying there, in depth order. Event rectangles are outlined and labelled with their id and trigger (T touch, "
      "A action, U use an artifact). world.png lays the screens out on the grid, with green bridges where an edge "
      "leads to a neighbour and orange lines from each door to where it leads.");

  zdata::GenerateOptions generateOptions;
  auto* generate = app.add_subcommand("generate", "Write a random world that loads, for soak tests and benchmarks.");
  generate->add_option("-o,--output", output, "the folder for the seven data files; created when missing")->required();
  generate->add_option("--seed", generateOptions.seed, "the world's seed: the same seed gives the same world")
      ->default_val(1);
  generate->add_flag("--max", generateOptions.maximal,
                     "the largest world: 100 screens of 64 objects and 16 events, 1000 sprites, full texts");

  auto known = [&app](const std::string& name) {
    for (const CLI::App* sub : app.get_subcommands([](CLI::App*) { return true; })) {
      if (sub->get_name() == name) return true;
    }
    return false;
  };
  if (argc > 1 && argv[1][0] != '-' && !known(argv[1])) {
    std::cerr << "zelvo-data: unknown command '" << argv[1]
              << "' (pack, unpack, tiled, check, info, render or generate)\n";
    std::cerr << "Run 'zelvo-data --help' for usage.\n";
    return kUsageError;
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    std::cerr << "zelvo-data: " << e.what() << "\n";
    std::cerr << "Run 'zelvo-data --help' or 'zelvo-data COMMAND --help' for usage.\n";
    return kUsageError;
  }

  zdata::Streams io{std::cout, std::cerr};
  try {
    if (*pack) return zdata::packCommand(sources, output, packOptions, io);
    if (*unpack) return zdata::unpackCommand(dir, output, unpackOptions, io);
    tiledOptions.program = PathFromUtf8(ProcessProgramPath(argv[0]));
    if (*tiled) return zdata::tiledCommand(sources, output, tiledOptions, io);
    if (*check) return zdata::checkCommand(dir, checkOptions, io);
    if (*info) return zdata::infoCommand(dir, infoOptions, io);
    if (*generate) return zdata::generateCommand(output, generateOptions, io);
    if (*render) {
      renderOptions.events = !noEvents;
      return zdata::renderCommand(dir, output, renderOptions, io);
    }
  } catch (const std::exception& e) {
    std::cerr << "zelvo-data: " << e.what() << "\n";
    return 1;
  }
  return kUsageError;
}
