#pragma once

#include <QCalendarWidget>
#include <QTableView>
#include <QTest>

namespace vq::test {

// Clicks the cell of a day of the month on show in a calendar, as the user would. Days 7 to 22 stand
// once in the grid; returns false when no cell shows the day.
inline bool clickCalendarDay(QCalendarWidget *calendar, int day)
{
    auto *view = calendar->findChild<QTableView *>();
    for (int r = 0; r < view->model()->rowCount(); ++r)
        for (int c = 0; c < view->model()->columnCount(); ++c)
            if (const QModelIndex i = view->model()->index(r, c);
                i.data().toString() == QString::number(day)) {
                QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(i).center());
                return true;
            }
    return false;
}

} // namespace vq::test
