#pragma once

#include <QString>

namespace samplegen {

struct SampleSetOutcome {
    bool ok = false;
    QString error;
};

// Writes latest1.gif .. latest11.gif (kmkx base reflectivity, eleven frames six
// minutes apart, 13:00 to 14:00 UTC on 12 June 2026, slot 11 the newest) and
// CurrSetRec.sis describing them into folder, creating it if needed.
SampleSetOutcome writeSampleSet(const QString& folder);

} // namespace samplegen
