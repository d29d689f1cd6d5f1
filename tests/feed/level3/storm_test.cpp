// The storm products of KLSX's night of 10 December 2021: their cells, tracks
// and tables as the radar printed them, and damaged copies refused.
#include "feed/level3/decode.h"
#include "feed/level3/storm_tables.h"
#include "feed/nws/storm_json.h"
#include "support/files.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtEndian>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

using namespace nubivista::feed::level3;
using nubivista::testing::productFile;

namespace {

StormReport storms(const char* file) {
    const DecodeResult result = decodeLevel3(productFile(file));
    if (const auto* error = std::get_if<DecodeError>(&result)) {
        ADD_FAILURE() << file << ": " << describe(*error).toStdString();
        return {};
    }
    const Product& product = std::get<Product>(result);
    EXPECT_TRUE(product.storms.has_value()) << file;
    return product.storms.value_or(StormReport{});
}

const StormTables::Track* trackOf(const StormTables& tables, const char* id) {
    for (const auto& track : tables.tracks)
        if (track.id == QLatin1String(id))
            return &track;
    return nullptr;
}

constexpr double kKmPerNm = 1.852;

} // namespace

TEST(StormProducts, TheTrackingTableAndSymbolsGiveEachCellItsPlaceMotionAndForecast) {
    const StormReport nst = storms("KLSX_SDUS33_NSTLSX_202112110215");
    ASSERT_EQ(nst.tables.tracks.size(), 34u);
    ASSERT_EQ(nst.symbols.cells.size(), 34u);
    const StormTables::Track* x0 = trackOf(nst.tables, "X0");
    ASSERT_NE(x0, nullptr);
    EXPECT_EQ(x0->at.azimuthDeg, 161);
    EXPECT_EQ(x0->at.rangeNm, 154);
    EXPECT_EQ(x0->movementFromDeg, 236);
    EXPECT_EQ(x0->speedKt, 41);
    const double forecast[4][2] = {{157, 151}, {153, 150}, {149, 149}, {146, 148}};
    for (std::size_t slot = 0; slot < 4; ++slot) {
        ASSERT_TRUE(x0->forecast[slot].has_value());
        EXPECT_EQ(x0->forecast[slot]->azimuthDeg, forecast[slot][0]);
        EXPECT_EQ(x0->forecast[slot]->rangeNm, forecast[slot][1]);
    }
    EXPECT_DOUBLE_EQ(x0->errorNm, 0.9);
    EXPECT_DOUBLE_EQ(x0->meanErrorNm, 2.0);
    const StormTables::Track* m9 = trackOf(nst.tables, "M9");
    ASSERT_NE(m9, nullptr);
    EXPECT_TRUE(m9->forecast[1].has_value());
    EXPECT_FALSE(m9->forecast[2].has_value()) << "NO DATA is missing, never zero";
    EXPECT_FALSE(m9->forecast[3].has_value());
    const StormTables::Track* u7 = trackOf(nst.tables, "U7");
    ASSERT_NE(u7, nullptr);
    EXPECT_FALSE(u7->movementFromDeg.has_value()) << "a NEW cell has no motion";
    EXPECT_FALSE(u7->speedKt.has_value());
    // A row with a place that is no place is no row.
    EXPECT_TRUE(readStormTables(58, {{QStringLiteral("  Q1  AB/154  236/ 41  NO DATA  NO DATA  "
                                                     "NO DATA  NO DATA  0.9/ 2.0")}})
                    .tracks.empty());

    // The symbols stand where the table says, to its whole degrees and miles;
    // every cell's 15-minute forecast lies a quarter of its hourly motion
    // downstream.
    const auto degrees = [](double east, double north) {
        return std::fmod(std::atan2(east, north) * 180 / std::numbers::pi + 360, 360);
    };
    for (const StormTables::Track& track : nst.tables.tracks) {
        SCOPED_TRACE(track.id.toStdString());
        const auto symbol =
            std::find_if(nst.symbols.cells.begin(), nst.symbols.cells.end(),
                         [&](const StormSymbols::Cell& cell) { return cell.id == track.id; });
        ASSERT_NE(symbol, nst.symbols.cells.end());
        const StormPoint at = symbol->at;
        EXPECT_NEAR(std::hypot(at.eastKm, at.northKm) / kKmPerNm, track.at.rangeNm, 1.0);
        if (track.at.rangeNm > 5) { // near the radar a degree is nothing
            EXPECT_LT(std::abs(std::remainder(degrees(at.eastKm, at.northKm) - track.at.azimuthDeg,
                                              360.0)),
                      1.0);
        }
        EXPECT_EQ(symbol->forecast.size(),
                  std::size_t(std::count_if(track.forecast.begin(), track.forecast.end(),
                                            [](const auto& slot) { return slot.has_value(); })));
        if (symbol->forecast.empty() || !track.speedKt)
            continue;
        const double east = symbol->forecast[0].eastKm - at.eastKm;
        const double north = symbol->forecast[0].northKm - at.northKm;
        EXPECT_NEAR(std::hypot(east, north) / kKmPerNm, *track.speedKt / 4, 1.5);
        const double downstream = std::fmod(*track.movementFromDeg + 180, 360);
        EXPECT_LT(std::abs(std::remainder(degrees(east, north) - downstream, 360.0)), 8.0);
    }
}

TEST(StormProducts, ForecastPointsPastTheDrawnMarkersComeFromTheTablesFigures) {
    const DecodeResult decoded = decodeLevel3(productFile("KLSX_SDUS33_NSTLSX_202112110215"));
    ASSERT_TRUE(std::holds_alternative<Product>(decoded));
    const Product& product = std::get<Product>(decoded);
    ASSERT_TRUE(product.storms.has_value());
    const auto forecastWithMarkers = [&product](std::size_t kept) {
        Product cut = product;
        for (StormSymbols::Cell& cell : cut.storms->symbols.cells)
            if (cell.id == QLatin1String("X0"))
                cell.forecast = std::vector<StormPoint>(
                    cell.forecast.begin(),
                    cell.forecast.begin() + std::ptrdiff_t(std::min(kept, cell.forecast.size())));
        const QJsonDocument json = QJsonDocument::fromJson(
            nubivista::feed::nws::stormsJson(*nubivista::radar::FindSite("klsx"), {&cut}));
        for (const QJsonValue& cell : json[QStringLiteral("cells")].toArray())
            if (cell[QStringLiteral("id")] == QStringLiteral("X0"))
                return cell[QStringLiteral("forecast")].toArray();
        return QJsonArray();
    };
    const QJsonArray drawn = forecastWithMarkers(4);
    const QJsonArray one = forecastWithMarkers(1);
    const QJsonArray none = forecastWithMarkers(0);
    ASSERT_EQ(drawn.size(), 4);
    EXPECT_EQ(one[0], drawn[0]);
    EXPECT_NE(none[0], drawn[0]) << "the markers are finer than the table's figures";
    for (int slot = 1; slot < 4; ++slot)
        EXPECT_EQ(one[slot], none[slot]) << slot;
}

TEST(StormProducts, HailMesocyclonesAndVorticesNameTheirCells) {
    const StormReport nhi = storms("KLSX_SDUS63_NHILSX_202112110152");
    const auto u5 = std::find_if(nhi.tables.hail.begin(), nhi.tables.hail.end(),
                                 [](const auto& row) { return row.id == QLatin1String("U5"); });
    ASSERT_NE(u5, nhi.tables.hail.end());
    EXPECT_EQ(u5->severeProbability, 50);
    EXPECT_EQ(u5->probability, 100);
    EXPECT_DOUBLE_EQ(u5->maxSizeIn, 1.25) << "the table's size, not the symbol's whole inch";
    EXPECT_FALSE(u5->belowSize);
    const auto q6 = std::find_if(nhi.tables.hail.begin(), nhi.tables.hail.end(),
                                 [](const auto& row) { return row.id == QLatin1String("Q6"); });
    ASSERT_NE(q6, nhi.tables.hail.end());
    EXPECT_TRUE(q6->belowSize);
    EXPECT_FALSE(nhi.symbols.hail.front().probability.has_value()) << "-999: not known";

    const StormReport nmd = storms("KLSX_SDUS33_NMDLSX_202112110152");
    ASSERT_FALSE(nmd.tables.mesocyclones.empty());
    EXPECT_EQ(nmd.tables.mesocyclones.front().stormId, QLatin1String("X0"));
    EXPECT_EQ(nmd.tables.mesocyclones.front().strengthRank, 10);
    EXPECT_FALSE(nmd.symbols.features.empty());

    // A row whose place or cell id is damaged is no row.
    const TextPages page{{" 65  167/159 10L X0  49  86 <26 >23  53  26  49  N  254/ 36  2963",
                          " 66  ABC/159 10L Y0  49  86 <26 >23  53  26  49  N  254/ 36  2963",
                          " 67  167/159 10L #?  49  86 <26 >23  53  26  49  Y  254/ 36  2963"}};
    const auto rows = readStormTables(141, page).mesocyclones;
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].stormId, QLatin1String("X0"));

    const StormReport ntv = storms("KLSX_SDUS63_NTVLSX_202112110238");
    ASSERT_EQ(ntv.tables.vortices.size(), 1u);
    EXPECT_EQ(ntv.tables.vortices[0].stormId, QLatin1String("M9"));
    EXPECT_FALSE(ntv.tables.vortices[0].elevated);
    EXPECT_EQ(ntv.symbols.vortices.size(), 1u);
}

TEST(StormProducts, DamagedStormProductsAreRefusedWithTheirReason) {
    const QByteArray nst = productFile("KLSX_SDUS33_NSTLSX_202112110215");
    constexpr int message = 30;
    const auto put16 = [](QByteArray bytes, int at, quint16 value) {
        qToBigEndian(value, bytes.data() + at);
        return bytes;
    };
    const int symbology = message + 2 * 60;
    const int tabular = message + 2 * 3555;
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* error;
    };
    const Case cases[] = {
        {"a layer longer than the product", put16(nst, symbology + 12, 0x7FFF), "cut short"},
        {"a first packet's length past its layer", put16(nst, symbology + 18, 0x7FF0),
         "runs past its layer"},
        {"a tabular block of another id", put16(nst, tabular + 2, 7), "impossible header"},
        {"a page count past the limit", put16(nst, tabular + 130, 500), "impossible header"},
        {"a line longer than a page's", put16(nst, tabular + 132, 3000), "damaged"},
        {"cut in the table", nst.left(tabular + 400), "bytes long"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const DecodeResult result = decodeLevel3(c.bytes);
        const auto* error = std::get_if<DecodeError>(&result);
        ASSERT_NE(error, nullptr);
        EXPECT_TRUE(error->what.contains(QLatin1String(c.error))) << error->what.toStdString();
    }
}
