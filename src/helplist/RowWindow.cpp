#include "helplist/RowWindow.h"

#include <algorithm>

namespace vq {

int RowWindow::maxTop() const
{
    return std::max(0, count - std::max(1, page));
}

int RowWindow::size() const
{
    return std::clamp(count - top, 0, std::max(1, page) + 1);
}

RowWindow RowWindow::clamped() const
{
    RowWindow w = *this;
    w.count = std::max(0, count);
    w.page = std::max(1, page);
    w.top = std::clamp(top, 0, w.maxTop());
    return w;
}

int RowWindow::recordAt(int row) const
{
    return row >= 0 && row < size() ? top + row : -1;
}

int RowWindow::rowOf(int record) const
{
    const int row = record - top;
    return record >= 0 && row >= 0 && row < size() ? row : -1;
}

int RowWindow::topFor(int record, Place place) const
{
    const int rows = std::max(1, page);
    const int r = std::clamp(record, 0, std::max(0, count - 1));
    int wanted = top;
    switch (place) {
    case Place::Visible:
        if (r < top)
            wanted = r;
        else if (r >= top + rows)
            wanted = r - rows + 1;
        break;
    case Place::Top:
        wanted = r;
        break;
    case Place::Center:
        wanted = r - rows / 2;
        break;
    case Place::Bottom:
        wanted = r - rows + 1;
        break;
    }
    return std::clamp(wanted, 0, maxTop());
}

int RowWindow::recordAfter(int current, Move move) const
{
    if (count <= 0)
        return -1;
    if (current < 0)
        return 0;
    // In 64 bits: a page past the last of 2^31 - 1 records must not wrap.
    const long long rows = std::max(1, page);
    long long target = current;
    switch (move) {
    case Move::Up:
        target = current - 1;
        break;
    case Move::Down:
        target = current + 1;
        break;
    case Move::PageUp:
        target = current - rows;
        break;
    case Move::PageDown:
        target = current + rows;
        break;
    case Move::First:
        target = 0;
        break;
    case Move::Last:
        target = count - 1;
        break;
    }
    return int(std::clamp<long long>(target, 0, count - 1));
}

} // namespace vq
