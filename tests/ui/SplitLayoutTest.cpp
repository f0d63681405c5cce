#include "ui/SplitLayout.h"

#include <gtest/gtest.h>

using namespace velu;

namespace {

struct LayoutCase {
    const char* name;
    int extent, splitPos, minFirst, minSecond;
    int expectPos;
    PanePlacement first, second;
    bool barVisible;
};

} // namespace

TEST(SplitLayout, ClampsAndPlacesPanes)
{
    const LayoutCase cases[] = {
        {"middle of 400", 400, -1, 1, 1, 200, {true, 0, 199}, {true, 202, 198}, true},
        {"odd extent truncates", 401, -1, 1, 1, 200, {true, 0, 199}, {true, 202, 199}, true},
        {"below first minimum", 400, 50, 100, 100, 100, {true, 0, 99}, {true, 102, 298}, true},
        {"above largest position", 400, 390, 100, 100, 299, {true, 0, 298}, {true, 301, 99}, true},
        {"no second minimum", 400, 1000, 1, 0, 398, {true, 0, 397}, {true, 400, 0}, true},
        {"first minimum wins", 50, 20, 100, 100, 100, {true, 0, 50}, {false, 0, 0}, false},
        {"minimum below one", 400, 0, -5, 1, 1, {false, 0, 0}, {true, 3, 397}, true},
        {"zero extent", 0, -1, 1, 1, 1, {false, 0, 0}, {true, 3, 0}, true},
        {"tiny extent", 2, -1, 1, 1, 1, {false, 0, 0}, {true, 3, 0}, true},
    };
    for (const auto& c : cases) {
        SplitLayout l;
        l.splitPos = c.splitPos;
        l.minFirst = c.minFirst;
        l.minSecond = c.minSecond;
        l.clampPosition(c.extent);
        const SplitPlacement p = l.placement(c.extent);
        EXPECT_EQ(l.splitPos, c.expectPos) << c.name;
        EXPECT_EQ(p.first, c.first) << c.name;
        EXPECT_EQ(p.second, c.second) << c.name;
        EXPECT_EQ(p.barVisible, c.barVisible) << c.name;
        EXPECT_GE(l.minFirst, 1) << c.name;
    }
}

TEST(SplitLayout, SinglePaneModesGiveTheWholeExtent)
{
    SplitLayout l;
    l.showSplit = SplitLayout::normalisedShowSplit(5);
    EXPECT_EQ(l.showSplit, spltVisible);
    l.showSplit = spltRightBottom;
    SplitPlacement p = l.placement(300);
    EXPECT_EQ(p.first, (PanePlacement{false, 0, 300}));
    EXPECT_EQ(p.second, (PanePlacement{true, 0, 300}));
    EXPECT_FALSE(p.barVisible);
    l.showSplit = spltLeftTop;
    p = l.placement(300);
    EXPECT_EQ(p.first, (PanePlacement{true, 0, 300}));
    EXPECT_FALSE(p.second.visible);
}

TEST(SplitLayout, DragPositionStaysInRange)
{
    struct Case {
        int minFirst, minSecond;
        double mouse;
        int expect;
    } const cases[] = {
        {1, 100, 390, 299}, {1, 0, 399, 398}, {1, 0, 5000, 398}, {100, 100, 10, 100},
        {1, 1, -20, 1},     {1, 1, 150.5, 150}, {1, 1, 151.5, 152},
    };
    for (const auto& c : cases) {
        SplitLayout l;
        l.minFirst = c.minFirst;
        l.minSecond = c.minSecond;
        l.clampPosition(400);
        EXPECT_EQ(l.dragPosition(c.mouse, 400), c.expect) << c.mouse;
    }
}

TEST(SplitLayout, ProportionalResizeAndZeroExtent)
{
    SplitLayout l;
    l.splitPos = 100;
    l.updateRatio(400);
    EXPECT_EQ(l.proportionalPosition(800), 200);
    l.updateRatio(0); // no division by zero; ratio kept
    EXPECT_FLOAT_EQ(l.ratio, 0.25f);
    EXPECT_EQ(l.proportionalPosition(0), 0);
}

TEST(SplitLayout, AutoSplitCollapsesAtPositionOne)
{
    SplitLayout l;
    l.autoSplit = true;
    l.splitPos = 1;
    l.deriveShowSplit();
    EXPECT_EQ(l.showSplit, spltRightBottom);
    l.splitPos = 2;
    l.deriveShowSplit();
    EXPECT_EQ(l.showSplit, spltVisible);
}
