// A click on a radar picture of a known site gives the place's latitude and
// longitude, at every zoom and range, and the place's mark falls back where
// it was clicked.
#include "places/picture_position.h"
#include "radar/site_table.h"

#include <gtest/gtest.h>

using namespace nubivista;

TEST(PicturePosition, AClickOnTheMilwaukeePictureGivesThePlaceUnderIt) {
    // Expected values from the destination-point formula on the same sphere.
    struct Case {
        QPointF pixel;
        float zoom;
        bool longRange;
        double latitude;
        double longitude;
    };
    const Case cases[] = {
        {{300, 275}, 1.0f, false, 42.9679, -88.5507}, {{300, 175}, 1.0f, false, 43.6849, -88.5507},
        {{400, 275}, 2.0f, false, 42.9637, -87.5709}, {{100, 475}, 1.5f, true, 40.0372, -92.2961},
        {{590, 20}, 1.0f, true, 46.4717, -82.5107},
    };
    const radar::SiteRow* kmkx = radar::FindSite(QStringLiteral("KMKX"));
    ASSERT_NE(kmkx, nullptr);
    const radar::GeoPoint site{kmkx->latitude, kmkx->longitude};
    for (const Case& c : cases) {
        const QPointF twips = c.pixel * 15.0 * c.zoom;
        const radar::GeoPoint picked = places::pointOnPicture(site, c.longRange, c.zoom, twips);
        EXPECT_NEAR(picked.latitude, c.latitude, 0.01) << c.pixel.x() << "," << c.pixel.y();
        EXPECT_NEAR(picked.longitude, c.longitude, 0.01) << c.pixel.x() << "," << c.pixel.y();
        const auto back = places::picturePixelOf(site, c.longRange, picked);
        ASSERT_TRUE(back.has_value());
        EXPECT_NEAR(back->x(), c.pixel.x(), 0.05);
        EXPECT_NEAR(back->y(), c.pixel.y(), 0.05);
    }
}
