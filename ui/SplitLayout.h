#pragma once
// Layout arithmetic of the splitter, free of widgets: where the bar sits along the extent (the container's
// width for left/right, its height for top/bottom) and which part of the extent each pane gets.

namespace velu {

// Which panes show (the splitter's ShowSplit values).
inline constexpr int spltVisible = 0;
inline constexpr int spltRightBottom = 1;
inline constexpr int spltLeftTop = 2;

struct PanePlacement {
    bool visible = false;
    int start = 0;
    int size = 0;
    bool operator==(const PanePlacement&) const = default;
};

struct SplitPlacement {
    PanePlacement first;
    PanePlacement second;
    bool barVisible = false;
    int barStart = 0; // the bar covers barStart .. barStart + BarThickness - 1
    bool operator==(const SplitPlacement&) const = default;
};

class SplitLayout {
public:
    static constexpr int BarThickness = 3;

    int splitPos = -1;     // -1: the middle at the next layout
    int minFirst = 1;      // smallest position
    int minSecond = 1;     // smallest size of the second pane; 0 or less: none
    int largestPos = -1;   // derived by clampPosition, used while dragging
    int showSplit = spltVisible;
    bool autoSplit = false;
    float ratio = 0.0f;    // splitPos / extent of the last layout

    // A ShowSplit value outside 0..2 counts as both panes.
    static int normalisedShowSplit(int value) { return value < 0 || value > 2 ? spltVisible : value; }

    // With AutoSplit the first pane is collapsed exactly when the position is at most 1.
    void deriveShowSplit();
    bool bothPanes() const { return showSplit != spltRightBottom && showSplit != spltLeftTop; }
    // Minimum, largest position, middle for -1 and clamping, for a layout with both panes.
    void clampPosition(int extent);
    // Placement of panes and bar for the current state; clampPosition must have run for both panes.
    SplitPlacement placement(int extent) const;
    // The ratio follows the position; a container of extent 0 leaves it as it was.
    void updateRatio(int extent);
    // Position the bar takes for a mouse at pos while dragging.
    int dragPosition(double pos, int extent) const;
    // Position that keeps the ratio on a container of the given extent.
    int proportionalPosition(int extent) const;
};

} // namespace velu
