// Where the grid filter's lines fall.
#pragma once

struct GridLines {
    long cell = 2;      // distance between lines, output pixels
    long thickness = 1; // line width, output pixels

    // Lines start at every multiple of `cell` but the first.
    bool On(long position) const { return position >= cell && position % cell < thickness; }
};

// The lines for `cells` cells along the longer side of a `width` x `height`
// area shown at `scale`.
GridLines PlanGridLines(long width, long height, double scale, long cells);
