#include "helplist/RowWindow.h"

#include <climits>

#include <gtest/gtest.h>

using vq::RowWindow;
using Place = RowWindow::Place;
using Move = RowWindow::Move;

namespace {

RowWindow window(int count, int page, int top)
{
    RowWindow w;
    w.count = count;
    w.page = page;
    w.top = top;
    return w;
}

TEST(RowWindow, HoldsThePagePlusThePartlyShownRowAndMapsRowsBothWays)
{
    // A window as the grid sets it (top clamped into the records), its size and last top.
    const struct
    {
        int count, page, top;
        int clampedTop, size, maxTop;
    } cases[] = {
        {1000, 10, 0, 0, 11, 990},
        {1000, 10, 500, 500, 11, 990},
        {1000, 10, 995, 990, 10, 990}, // at the end the last record stands at the bottom edge
        {1000, 10, -5, 0, 11, 990},
        {5, 10, 3, 0, 5, 0}, // every record fits
        {0, 10, 7, 0, 0, 0},
        {100, 0, 99, 99, 1, 99}, // a viewport lower than a row still shows one
        {INT_MAX, 30, INT_MAX, INT_MAX - 30, 30, INT_MAX - 30},
    };
    for (const auto &c : cases) {
        const RowWindow w = window(c.count, c.page, c.top).clamped();
        SCOPED_TRACE(testing::Message() << c.count << " records, page " << c.page << ", top " << c.top);
        EXPECT_EQ(w.top, c.clampedTop);
        EXPECT_EQ(w.size(), c.size);
        EXPECT_EQ(w.maxTop(), c.maxTop);
        for (int row = 0; row < w.size(); ++row) {
            EXPECT_EQ(w.recordAt(row), w.top + row);
            EXPECT_EQ(w.rowOf(w.top + row), row);
        }
        EXPECT_EQ(w.recordAt(-1), -1);
        EXPECT_EQ(w.recordAt(w.size()), -1);
        EXPECT_EQ(w.rowOf(w.top - 1), -1);
        if (w.top < INT_MAX - w.size()) {
            EXPECT_EQ(w.rowOf(w.top + w.size()), -1);
        }
    }
}

TEST(RowWindow, TopForARecordScrollsAsLittleAsNeededOrToThePlaceAsked)
{
    // 1000 records, ten rows wholly in view from record 100 (records 100..109).
    const RowWindow w = window(1000, 10, 100);
    const struct
    {
        int record;
        Place place;
        int top;
    } cases[] = {
        {105, Place::Visible, 100}, // in view: no scroll
        {109, Place::Visible, 100},
        {110, Place::Visible, 101}, // the partly shown row comes wholly into view
        {150, Place::Visible, 141},
        {99, Place::Visible, 99},
        {-3, Place::Visible, 0}, // outside the records: the nearest one
        {5000, Place::Visible, 990},
        {105, Place::Top, 105},
        {995, Place::Top, 990}, // as far as the records allow
        {105, Place::Bottom, 96},
        {3, Place::Bottom, 0},
        {500, Place::Center, 495},
        {2, Place::Center, 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(w.topFor(c.record, c.place), c.top) << c.record << " place " << int(c.place);
    EXPECT_EQ(window(0, 10, 0).topFor(0, Place::Top), 0);
}

TEST(RowWindow, KeyMovesStopAtTheEnds)
{
    const RowWindow w = window(100, 10, 0);
    const struct
    {
        int current;
        Move move;
        int target;
    } cases[] = {
        {5, Move::Down, 6}, {99, Move::Down, 99}, {5, Move::Up, 4}, {0, Move::Up, 0}, {5, Move::PageDown, 15},
        {95, Move::PageDown, 99}, {15, Move::PageUp, 5}, {5, Move::PageUp, 0}, {50, Move::First, 0},
        {50, Move::Last, 99}, {-1, Move::Down, 0},
        {-1, Move::Last, 0}, // without a current record every move starts at the first
    };
    for (const auto &c : cases)
        EXPECT_EQ(w.recordAfter(c.current, c.move), c.target) << c.current << " move " << int(c.move);
    EXPECT_EQ(window(0, 10, 0).recordAfter(-1, Move::Down), -1);
    EXPECT_EQ(window(INT_MAX, 30, 0).recordAfter(INT_MAX - 2, Move::PageDown), INT_MAX - 1);
}

} // namespace
