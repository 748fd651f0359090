// A date or time picker that can be empty, for the end of an entry.
//
// A check box in front turns the value on and off, as on a date picker with
// a check box; while off the field reads "（なし）" and the value waits
// underneath until it is turned on again. Keys: Delete empties the picker,
// Space, Enter or a digit on the empty field sets it again. Only the user's
// changes emit edited(); setting the value from code does not.
#pragma once

#include <QDate>
#include <QTime>
#include <QWidget>

class QCheckBox;
class QDateTimeEdit;
class QLineEdit;
class QStackedWidget;

namespace skedra {

// A date or time picker takes no Japanese input: while it has the focus it
// tells the platform's input method that it accepts none, which closes it.
void closeInputMethod(QWidget *picker);

class NullablePicker : public QWidget {
    Q_OBJECT
public:
    enum class Mode { Date, Time };
    NullablePicker(Mode mode, const QString &name, QWidget *parent = nullptr);

    bool isEmpty() const { return m_empty; }
    QDate date() const;
    QTime time() const;
    // Value and empty state from code; no edited().
    void setDate(const QDate &date, bool empty);
    void setTime(const QTime &time, bool empty);

    // The text a user sees for an empty picker.
    static QString emptyText() { return QStringLiteral("（なし）"); }

signals:
    void edited();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setEmptyByUser(bool empty);
    void showState();

    Mode m_mode;
    bool m_empty = false;
    QCheckBox *m_check;
    QStackedWidget *m_stack;
    QDateTimeEdit *m_edit;
    QLineEdit *m_blank;
};

} // namespace skedra
