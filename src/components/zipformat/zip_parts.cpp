#include "zip_parts.h"

#include <algorithm>
#include <stdexcept>

#include "zip_format.h"

namespace zipfmt {

Place PlaceOf(const std::vector<size_t>& partStarts, size_t position) {
  const auto after = std::upper_bound(partStarts.begin(), partStarts.end(), position);
  const int disk = int(after - partStarts.begin()) - 1;
  return {disk, uint32_t(position - partStarts[size_t(disk)])};
}

SplitArchive SplitIntoParts(ArchiveImage image, const std::vector<size_t>& partStarts) {
  if (partStarts.empty() || partStarts.front() != 0 || partStarts.back() > image.endRecord ||
      image.locals.size() != image.centrals.size())
    throw std::invalid_argument("cut inside the end record");
  SplitArchive set;
  for (size_t i = 0; i < image.locals.size(); ++i) {
    const Place local = PlaceOf(partStarts, image.locals[i]);
    set.localHeaders.push_back(local);
    set.centralHeaders.push_back(PlaceOf(partStarts, image.centrals[i]));
    Put16(&image.bytes[image.centrals[i] + central::kDiskStart], uint16_t(local.disk));
    Put32(&image.bytes[image.centrals[i] + central::kLocalOffset], local.offset);
  }
  const Place directory = PlaceOf(partStarts, image.directory);
  set.endRecord = PlaceOf(partStarts, image.endRecord);
  EndRecord end;
  end.thisDisk = uint16_t(set.endRecord.disk);
  end.directoryDisk = uint16_t(directory.disk);
  end.totalEntries = uint16_t(image.centrals.size());
  end.entriesOnDisk = uint16_t(std::count_if(set.centralHeaders.begin(), set.centralHeaders.end(),
                                             [&](const Place& p) { return p.disk == set.endRecord.disk; }));
  end.directorySize = uint32_t(image.endRecord - image.directory);
  end.directoryOffset = directory.offset;
  end.commentLength = image.commentLength;
  end.Write(&image.bytes[image.endRecord]);

  for (size_t k = 0; k < partStarts.size(); ++k) {
    const size_t from = partStarts[k];
    const size_t to = k + 1 < partStarts.size() ? partStarts[k + 1] : image.bytes.size();
    set.parts.emplace_back(image.bytes.begin() + long(from), image.bytes.begin() + long(to));
  }
  return set;
}

}  // namespace zipfmt
