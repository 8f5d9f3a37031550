#pragma once

namespace vq {

// Which records a grid shows when its view holds only the rows in sight, never one entry per record: a
// plain value with the arithmetic between record rows and the view's rows, no widget.
//
// Records and window rows are 0-based; -1 stands for "none". `page` is how many rows fit wholly in the
// viewport (at least 1). The window is the page plus the partly visible row below it, fewer at the end of
// the records; `top` stays within 0..maxTop(), so that at the end the last record stands at the bottom
// edge, as a scroll bar over all the rows would leave it.
struct RowWindow
{
    enum class Place { Visible, Top, Center, Bottom };
    enum class Move { Up, Down, PageUp, PageDown, First, Last };

    int count = 0; // records
    int page = 1; // rows wholly in view
    int top = 0; // first record in view

    // The last top there is: count - page, 0 when every record fits.
    int maxTop() const;
    // The rows the view holds from `top` on: page + 1, fewer at the end.
    int size() const;
    // The window as it is with `top` clamped to 0..maxTop() and `page` to at least 1.
    RowWindow clamped() const;

    // Record shown in window row `row`, -1 outside the window.
    int recordAt(int row) const;
    // Window row that shows `record`, -1 when it is outside the window.
    int rowOf(int record) const;

    // The top that shows `record`: Visible scrolls no further than needed (not at all when the record is
    // wholly in view), the others put it at that edge or the middle, as far as the records allow. Records
    // outside 0..count-1 are taken as the nearest one.
    int topFor(int record, Place place) const;

    // The record a key move from `current` reaches: one row, one page, the first or the last record,
    // stopping at the ends. Without a current record (-1) every move reaches the first one; without
    // records it is -1.
    int recordAfter(int current, Move move) const;
};

} // namespace vq
