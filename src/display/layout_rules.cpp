#include "display/layout_rules.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace nubivista::display {

WindowSize snapToMinimum(WindowSize window) {
    return {std::max(window.width, kMinWindowWidth), std::max(window.height, kMinWindowHeight)};
}

double panelWidth(double innerWidth) {
    return std::max(innerWidth, kMinPanelWidth);
}

double panelLeft(double currentLeft, double width, double innerWidth) {
    return currentLeft + width < innerWidth ? innerWidth - width : currentLeft;
}

LayoutResult layoutControls(const LayoutInput& in) {
    LayoutResult r;
    const double p = panelWidth(in.innerWidth);
    r.picture1 = {panelLeft(in.panelLeft, p, in.innerWidth), -in.panelAllowance, p, kPanelHeight};
    r.picture3 = {kPicture3Left, kPanelHeight - in.panelAllowance, in.innerWidth - 90,
                  in.innerHeight - 990 + in.panelAllowance + in.statusBarAllowance};
    r.tabStrip1 = {0, 0, r.picture3.width + in.themePad, r.picture3.height + in.themePad};
    r.picture4 = {kPicture4Left, kPicture4Top, r.picture3.width - 195, r.picture3.height - 645};
    return r;
}

double nextPanStop(double currentLeft, double innerWidth) {
    if (innerWidth >= 9630)
        return 0;
    if (currentLeft > -1815)
        return -1815;
    if (currentLeft > -4500)
        return innerWidth < 7785 ? -4500 : 0;
    return 0;
}

double pannedPanelWidth(double left, double innerWidth) {
    return std::max(panelWidth(innerWidth), innerWidth - left);
}

double command13Width(bool panelHidden, double width) {
    return panelHidden ? width - 30 : kCommand13ShownWidth;
}

Span toggleText1(Span text1) {
    if (text1.left == kText1WideLeft)
        return {kText1NarrowLeft, text1.width - kText1WidthStep};
    return {kText1WideLeft, text1.width + kText1WidthStep};
}

TabRowControls tabRowControls(double w, bool hideStampBox) {
    auto place = [](double left) { return TabRowPlace{left, left >= kTabRowMinLeft}; };
    TabRowControls c;
    c.command60 = place(w - 1710);
    c.command61 = {c.command60.left + 225, c.command60.shown};
    c.command30 = place(w - 1200);
    c.command31 = {c.command30.left + 225, c.command30.shown};
    c.check1 = place(w - 675);
    c.text3 = place(w - 1635);
    c.picture2 = {c.text3.left - 2325, c.text3.left >= kStampPanelMinText3Left && !hideStampBox};
    return c;
}

double fullTabRowInnerWidth(bool hideStampBox) {
    // The display area is 90 narrower than the window; the step buttons
    // (1710 from its right edge) and the time text's place for the stamp panel
    // (1635) set the width.
    const double areaWidth = hideStampBox ? kTabRowMinLeft + 1710 : kStampPanelMinText3Left + 1635;
    return areaWidth + 90;
}

double statusPanel1Width(double innerWidth) {
    return innerWidth - 3180;
}

double progressBarLeft(double innerWidth) {
    return statusPanel1Width(innerWidth) + 450;
}

// The panel is 690 twips tall: the frames and the right-hand block take the
// top 555, Command13 the strip from 570 down, which stays in view when the
// panel is pushed up by 570. Inside a frame the caption takes the top 240.
// Everything ends left of 9615, the narrowest panel.
const std::vector<ControlPlace>& panelPlaces() {
    static const std::vector<ControlPlace> places = {
        {"FrameLoop", {15, 0, 1860, 555}},
        {"Command18", {60, 240, 390, 285}},
        {"Command19", {480, 240, 420, 285}},
        {"Command40", {930, 240, 195, 285}},
        {"Text11", {1155, 240, 420, 285}},
        {"Command41", {1605, 240, 195, 285}},

        {"FrameRefresh", {1905, 0, 2430, 555}},
        {"Command7", {60, 240, 780, 285}},
        {"Command9", {870, 240, 210, 285}},
        {"Command20", {1110, 240, 195, 285}},
        {"Text4", {1335, 240, 330, 285}},
        {"Command21", {1695, 240, 195, 285}},
        {"Text2", {1920, 240, 480, 285}},

        {"FrameZoom", {4365, 0, 1470, 555}},
        {"Command50", {60, 240, 195, 285}},
        {"Text12", {270, 240, 360, 285}},
        {"Command51", {645, 240, 195, 285}},
        {"Check5", {885, 240, 540, 285}},

        {"Check2", {5865, 30, 1110, 255}},
        {"Check3", {5865, 300, 1110, 255}},
        {"Combo1", {kText1WideLeft, 30, 1860, 255}},
        {"Text1", {kText1WideLeft, 300, 1860, 255}},
        {"Command3", {8895, 30, 690, 255}},
        {"Command1", {8895, 300, 690, 255}},
        {"Command13", {15, 570, kCommand13ShownWidth, 120}},
    };
    return places;
}

double panelStretch(double panelWidth) {
    constexpr double kMaxStretch = 3000;
    return std::clamp(panelWidth - kMinPanelWidth, 0.0, kMaxStretch);
}

TwipsRect panelPlace(const char* name) {
    for (const ControlPlace& p : panelPlaces())
        if (std::strcmp(p.name, name) == 0)
            return p.rect;
    return {};
}

double tabWidth(double w) {
    // Whole pixels, at most 390 twips, so that tab 20 ends before the
    // tab-row controls' first place.
    const double fit = std::floor((w - 30) / 20 / kTwipsPerPixel) * kTwipsPerPixel;
    return std::clamp(fit, 15 * kTwipsPerPixel, 390.0);
}

TwipsRect tabRect(int tab, double w) {
    const double width = tabWidth(w);
    return {(tab - 1) * width, 0, width, kTabRowHeight};
}

TwipsRect skipBoxRect(int tab, double w) {
    const TwipsRect t = tabRect(tab, w);
    const double box = 210;
    const double inset = std::floor((t.width - box) / 2 / kTwipsPerPixel) * kTwipsPerPixel;
    return {t.left + inset, 315, box, box};
}

} // namespace nubivista::display
