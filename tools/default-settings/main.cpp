// Writes the settings record distributed beside the program, made from the
// program's own defaults through the same codec the program reads it with.
// Usage: make-default-settings [--loop-delay MS] <output file>
// --loop-delay gives every loop image MS milliseconds and the first and last
// 1 ms extra, the least a record keeps (0 reads back as the default), so the
// loop runs as evenly as an animated GIF (benchmarks).
#include "core/atomic_file.h"
#include "core/settings.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

int main(int argc, char** argv) {
    std::optional<int> loopDelayMs;
    if (argc == 4 && std::strcmp(argv[1], "--loop-delay") == 0) {
        char* end = nullptr;
        const long ms = std::strtol(argv[2], &end, 10);
        if (*end == '\0' && ms >= 10 && ms <= 5000)
            loopDelayMs = static_cast<int>(ms);
    }
    if (argc != 2 && !loopDelayMs) {
        std::fprintf(stderr, "usage: %s [--loop-delay 10..5000] <output file>\n", argv[0]);
        return 2;
    }
    const char* const output = argv[argc - 1];
    using namespace nubivista::core;
    // A default-made Settings holds the program's defaults: the national map
    // address, delays 100/500/1000 ms, a 6-minute interval, the map scale,
    // distances in miles, every message shown, placement left to the program,
    // and TitleCode carrying the program title (each byte XOR 0xA5, space
    // padded; see encodeTitleCode).
    Settings defaults;
    if (loopDelayMs) {
        defaults.LoopDelayMs = *loopDelayMs;
        defaults.FirstExtraMs = 1;
        defaults.LastExtraMs = 1;
    }
    const QString path = QString::fromLocal8Bit(output);
    const WriteOutcome outcome =
        writeFileAtomically(path, encodeSettingsRecord(recordFromSettings(defaults)));
    if (!outcome.ok) {
        std::fprintf(stderr, "cannot write %s: %s\n", output, qPrintable(outcome.error));
        return 1;
    }
    return 0;
}
