// artifacts.cpp -- art.dat: every artifact's stored place and state, in file order.
#include "data/datafile.h"
#include "data/loaders.h"
#include "services/log.h"

std::list<Artifact> artifactList;

LoadResult loadArtifacts() {
  using namespace layout::artifact;
  // A new game reloads this file to undo what the last game did, so the list starts empty.
  artifactList.clear();
  datafile::WholeFile file;
  if (LoadResult result = datafile::readWholeFile(layout::kArtifactsFile, 0, &file); result != LoadOk) return result;
  uint32_t count = 0;
  // A count whose records run past the end refuses the file; loading only some would hide the fault.
  if (!datafile::checkRecords(layout::kArtifactsFile, file.bytes.get(), file.size, kRecordSize, &count)) {
    return LoadReadFailed;
  }
  std::list<Artifact> loaded;
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* record = file.bytes.get() + kCountSize + static_cast<uint64_t>(i) * kRecordSize;
    Artifact artifact;
    artifact.id = layout::read32(record + kId);
    if (datafile::copyText(artifact.name, record + kName, kNameSize)) {
      datafile::reportBad(layout::kArtifactsFile, "record %u (artifact %u): the name has no ending 0; cut to %u characters",
                          i, artifact.id, kNameSize - 1);
    }
    artifact.screenNumber = layout::read16(record + kScreen);
    artifact.x = layout::read16(record + kX);
    artifact.y = layout::read16(record + kY);
    artifact.state = record[kState];
    // A list, not a map: a repeated id is kept too, and lookups find the first.
    loaded.push_back(artifact);
  }
  artifactList = std::move(loaded);
  LogWrite("\nLoaded %d artifacts.", static_cast<int>(count));
  return LoadOk;
}
