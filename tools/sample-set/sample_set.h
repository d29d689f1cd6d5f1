#pragma once

#include <QString>
#include <QStringList>

namespace samplegen {

struct SampleSetOutcome {
    bool ok = false;
    QString error;
};

// Writes latest1.gif .. latest11.gif (kmkx base reflectivity, eleven frames six
// minutes apart, 13:00 to 14:00 UTC on 12 June 2026, slot 11 the newest) and
// CurrSetRec.sis describing them into folder, creating it if needed.
SampleSetOutcome writeSampleSet(const QString& folder);

// Writes the given GIF files (2 to 20, oldest first) as latest1.gif ..
// latestN.gif with a set record for them, taken as kmkx base reflectivity,
// each slot's time the file's modification time (curl -R sets it from the
// server's Last-Modified).
SampleSetOutcome writeSetFromGifs(const QString& folder, const QStringList& gifFiles);

} // namespace samplegen
