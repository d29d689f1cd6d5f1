// Writes the settings record distributed beside the program, made from the
// program's own defaults through the same codec the program reads it with.
// Usage: make-default-settings <output file>
#include "core/atomic_file.h"
#include "core/settings.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output file>\n", argv[0]);
        return 2;
    }
    using namespace nubivista::core;
    // A default-made Settings holds the program's defaults: the national map
    // address, delays 100/500/1000 ms, a 6-minute interval, the map scale,
    // distances in miles, every message shown, placement left to the program,
    // and TitleCode carrying the program title (each byte XOR 0xA5, space
    // padded; see encodeTitleCode).
    const Settings defaults;
    const QString path = QString::fromLocal8Bit(argv[1]);
    const WriteOutcome outcome =
        writeFileAtomically(path, encodeSettingsRecord(recordFromSettings(defaults)));
    if (!outcome.ok) {
        std::fprintf(stderr, "cannot write %s: %s\n", argv[1], qPrintable(outcome.error));
        return 1;
    }
    return 0;
}
