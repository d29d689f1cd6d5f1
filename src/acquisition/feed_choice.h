#pragma once
// Which feed the pictures come from, and how the program names it to the user.
#include <QString>
#include <QUrl>

namespace nubivista::acquisition {

// Which feed the program shows.
enum class FeedSource {
    Live,     // its own feed on the weather service's products
    Demo,     // its own feed on the simulated storms
    External, // a feed already running at an address, shared or under test
};

struct FeedChoice {
    FeedSource source = FeedSource::Live;
    QUrl address; // External only
};

// The caption's end while the demo is shown.
inline constexpr char kDemoMark[] = " - [demo: simulated radar]";

// What the About window says of the data.
QString feedDescription(const FeedChoice& choice);

} // namespace nubivista::acquisition
