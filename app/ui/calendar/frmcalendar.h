// The calendar window: the month grid and the list of the selected day,
// painted from what buildMonth says. It keeps the month on display and the
// selected cell; the schedule table and the hand-over values (CallerView,
// ReferenceDate, ReferenceDateTime, ReferenceRow) are the main window's.
#pragma once

#include "listgrid.h"
#include "monthmodel.h"
#include "session.h"

#include <QDate>
#include <QMenu>
#include <QWidget>

#include <array>
#include <functional>
#include <vector>

class QCalendarWidget;
class QLabel;
class QMenu;
class QPushButton;
class QTableWidget;

namespace skedra::calendar {

// A flat picture box drawn as a button: an arrow image, a raised frame
// while the pointer is over it, a sunken one while the left button is held.
// Pressing the left button performs its step at once.
class PictureButton : public QWidget {
    Q_OBJECT
public:
    // `arrows`: 1 or 2 arrow heads; `pointsLeft`: the direction.
    PictureButton(int arrows, bool pointsLeft, QWidget *parent = nullptr);

    enum class Frame { None, Up, Down };
    Frame frame() const { return m_frame; }

signals:
    void pressed();

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void DrawUp();
    void DrawDown();
    int m_arrows;
    bool m_pointsLeft;
    Frame m_frame = Frame::None;
};

// What the calendar needs from the main window.
struct CalendarHost {
    // The main list's column widths in twips, columns 0 to 10.
    std::array<int, GridColumns> columnWidthsTwips{};
    // The main window's place, taken when no calendar place is stored.
    QRect mainGeometry;
    // The screens' available area, which a stored calendar place is kept
    // within.
    QRect desktop;
    // Shows the main window again and redraws its list (Grid_refresh).
    std::function<void()> returnToList;
    // The main window's commands. Add and copy-add read the reference
    // values the calendar has set; the others act on entry `entry`
    // (1-based) as if it were the main list's current row.
    std::function<void()> add;
    std::function<void()> copyAdd;
    std::function<void(int entry)> edit;
    std::function<void(int entry)> deleteEntry;  // asks first
    std::function<void(int entry)> setDefaults;
    std::function<void()> clearDefaults;
    // The main pop-up's attribute submenus (category or stamp, secret,
    // priority, date colour, auto-delete guard, standby screen), configured
    // for the model, with entry `entry` made the main list's selection so
    // that their items act on it.
    std::function<std::vector<QMenu *>(int entry)> attributeMenus;
    // The print command over the month `month` (the print button).
    std::function<void(QDate month)> print;
};

class frmCalendar : public QWidget {
    Q_OBJECT
public:
    frmCalendar(SessionState &state, CalendarHost host, QWidget *parent = nullptr);

    // Today's date; tests fix it.
    std::function<QDate()> today = [] { return QDate::currentDate(); };

    // Opening: CallerView "Calendar", the month of today, the day list's
    // header and widths, the month built and today's day listed.
    void Form_Load();
    // Rebuilds the month grid for the shown month (sDisp).
    void sDisp();
    // Fills the day list for the month grid's current cell.
    void MSFlexGrid1_Click();
    void step(MonthStep step);
    void goToToday();

    // The day-list commands; each does nothing without a day in the month
    // grid's current cell or (but Add) an entry in the day list's row.
    void addOnDay();
    void copyAddOnDay();
    void editEntry();
    void deleteEntry();
    void setDefaults();
    void clearDefaults();

    // Shows a pop-up menu at a screen point; tests replace it.
    std::function<void(QMenu *, const QPoint &)> popupMenu = [](QMenu *menu, const QPoint &at) {
        menu->popup(at);
    };

    QDate shownMonth() const { return m_shownMonth; }
    const MonthModel &month() const { return m_month; }
    const ListGrid &dayList() const { return m_dayList; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void applyStoredPlace();
    void setUpDayList();
    void showDayList();
    void layOut();
    void afterNavigation();
    void showMonthPicker();
    void monthPicked(QDate date);
    void createPopup();
    // Rebuilds pmnuEdit's attribute submenus from the main window's, for
    // the selected entry; false when there is none.
    void mirrorAttributeMenus(int entry);
    void showPopup(const QPoint &at);
    // The day of the month grid's current cell, 0 outside the month.
    int currentDay() const;
    // The entry of the day list's current row, 0 for an empty row.
    int selectedEntry() const;
    // Sets SelectedCell, ReferenceDate and ReferenceDateTime for a new
    // entry on the current cell's day.
    void prepareReference(int day);
    // After a command: the month rebuilt, the day listed, the focus on the
    // month grid.
    void rebuild();

    SessionState &m_state;
    CalendarHost m_host;
    QDate m_shownMonth;
    MonthModel m_month;
    int m_selectedDay = 0;
    ListGrid m_dayList;
    DayList m_shown;  // the day list's day and the entries of its rows
    QMenu *m_popup = nullptr;
    std::vector<QMenu *> m_attributeMenus;

    QLabel *m_label = nullptr;
    std::array<PictureButton *, 4> m_steps{};
    QPushButton *m_today = nullptr;
    QPushButton *m_close = nullptr;
    QPushButton *m_print = nullptr;
    QTableWidget *m_monthGrid = nullptr;
    QTableWidget *m_dayGrid = nullptr;
    QCalendarWidget *m_picker = nullptr;
};

} // namespace skedra::calendar
