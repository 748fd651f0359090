#include "nullablepicker.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QInputMethodQueryEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTimeEdit>

namespace skedra {

namespace {

// Answers the input method's questions as the picker does, but that it
// takes no input. (The widget attribute alone does not: a line edit or a
// spin box answers the question itself.)
class InputMethodClosed : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::InputMethodQuery)
            return false;
        watched->event(event);
        auto *query = static_cast<QInputMethodQueryEvent *>(event);
        if (query->queries() & Qt::ImEnabled)
            query->setValue(Qt::ImEnabled, false);
        return true;
    }
};

} // namespace

void closeInputMethod(QWidget *picker)
{
    picker->setAttribute(Qt::WA_InputMethodEnabled, false);
    picker->installEventFilter(new InputMethodClosed(picker));
}

NullablePicker::NullablePicker(Mode mode, const QString &name, QWidget *parent)
    : QWidget(parent)
    , m_mode(mode)
{
    setObjectName(name);
    m_check = new QCheckBox(this);
    m_check->setObjectName(name + QStringLiteral("_check"));
    m_check->setToolTip(QStringLiteral("チェックを外すと空になります（Delete キーでも空にできます）"));
    if (mode == Mode::Date) {
        auto *edit = new QDateEdit(this);
        edit->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
        edit->setCalendarPopup(true);
        edit->setDateRange(QDate(1900, 1, 1), QDate(2099, 12, 31));
        m_edit = edit;
    } else {
        auto *edit = new QTimeEdit(this);
        edit->setDisplayFormat(QStringLiteral("HH:mm"));
        m_edit = edit;
    }
    m_edit->setObjectName(name + QStringLiteral("_edit"));
    m_blank = new QLineEdit(emptyText(), this);
    m_blank->setObjectName(name + QStringLiteral("_empty"));
    m_blank->setReadOnly(true);
    m_blank->setAlignment(Qt::AlignCenter);
    m_blank->setToolTip(QStringLiteral("空です。Space キーか数字で日時を入れます"));
    QPalette grey = m_blank->palette();
    grey.setColor(QPalette::Text, palette().color(QPalette::Disabled, QPalette::Text));
    m_blank->setPalette(grey);

    m_stack = new QStackedWidget(this);
    m_stack->addWidget(m_edit);
    m_stack->addWidget(m_blank);
    m_stack->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_check);
    layout->addWidget(m_stack, 1);
    setFocusProxy(m_edit);

    for (QWidget *w : {static_cast<QWidget *>(this), static_cast<QWidget *>(m_edit),
                       static_cast<QWidget *>(m_blank), static_cast<QWidget *>(m_check)})
        closeInputMethod(w);

    m_edit->installEventFilter(this);
    m_blank->installEventFilter(this);
    connect(m_check, &QCheckBox::clicked, this, [this](bool on) { setEmptyByUser(!on); });
    connect(m_edit, &QDateTimeEdit::dateTimeChanged, this, [this] { emit edited(); });
    showState();
}

QDate NullablePicker::date() const { return m_edit->date(); }
QTime NullablePicker::time() const { return m_edit->time(); }

void NullablePicker::setDate(const QDate &date, bool empty)
{
    const QSignalBlocker block(m_edit);
    m_edit->setDate(date);
    m_empty = empty;
    showState();
}

void NullablePicker::setTime(const QTime &time, bool empty)
{
    const QSignalBlocker block(m_edit);
    m_edit->setTime(time);
    m_empty = empty;
    showState();
}

void NullablePicker::setEmptyByUser(bool empty)
{
    if (m_empty == empty) {
        showState();
        return;
    }
    const bool hadFocus = m_stack->currentWidget()->hasFocus();
    m_empty = empty;
    showState();
    if (hadFocus)
        m_stack->currentWidget()->setFocus();
    emit edited();
}

void NullablePicker::showState()
{
    m_check->setChecked(!m_empty);
    m_stack->setCurrentWidget(m_empty ? static_cast<QWidget *>(m_blank) : m_edit);
    setFocusProxy(m_stack->currentWidget());
}

bool NullablePicker::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (watched == m_edit && key->key() == Qt::Key_Delete) {
            setEmptyByUser(true);
            return true;
        }
        if (watched == m_blank) {
            const bool digit = key->text().size() == 1 && key->text().front().isDigit();
            if (key->key() == Qt::Key_Space || key->key() == Qt::Key_Return
                || key->key() == Qt::Key_Enter || digit) {
                setEmptyByUser(false);
                return true;
            }
        }
    } else if (event->type() == QEvent::MouseButtonDblClick && watched == m_blank) {
        setEmptyByUser(false);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace skedra
