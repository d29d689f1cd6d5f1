#pragma once
// The storm products' tabular block: pages of 80-character lines, as the
// radar prints them, and the rows of its tables read back into numbers.
#include "feed/level3/byte_reader.h"
#include "feed/level3/product.h"
#include "feed/level3/storm_report.h"

#include <QStringList>
#include <variant>
#include <vector>

namespace nubivista::feed::level3 {

using TextPages = std::vector<QStringList>;

// reader stands at the block's divider.
std::variant<TextPages, DecodeError> readTabularBlock(ByteReader& reader);

// The rows of the product's table: storm tracks (58), hail (59),
// mesocyclones (141) or vortices (61). Lines that are no row (titles,
// headings, adaptation data) are passed over.
StormTables readStormTables(int productCode, const TextPages& pages);

} // namespace nubivista::feed::level3
