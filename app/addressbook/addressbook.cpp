#include "addressbook.h"

#include <QCollator>
#include <QLocale>
#include <QRegularExpression>

#include <algorithm>

namespace skedra {

namespace {

// A number as the list reads one: optional sign, digits with at most one
// decimal point, an optional exponent, spaces around allowed.
bool readNumber(const QString &text, double &value)
{
    static const QRegularExpression number(
        QStringLiteral("^\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?\\s*$"));
    if (!number.match(text).hasMatch())
        return false;
    bool ok = false;
    value = text.trimmed().toDouble(&ok);
    return ok;
}

const QCollator &textCollator()
{
    static const QCollator collator = [] {
        QCollator c{QLocale(QLocale::Japanese, QLocale::Japan)};
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return collator;
}

} // namespace

QString editorNumber(const QString &number)
{
    QStringView rest = QStringView(number).trimmed();
    if (rest.startsWith(u"tel:", Qt::CaseInsensitive)) {
        rest = rest.mid(4);
        const qsizetype parameters = rest.indexOf(u';');
        if (parameters >= 0)
            rest = rest.left(parameters);
    }
    QString handed;
    bool separator = false;
    for (const QChar c : rest) {
        if (c == u'(' || c == u')')
            continue;
        if (c == u' ' || c == u'.' || c == u'-') {
            separator = true;
            continue;
        }
        if (separator && !handed.isEmpty())
            handed += u'-';
        separator = false;
        handed += c;
    }
    return handed;
}

int genericCompare(const QString &a, const QString &b)
{
    double x = 0, y = 0;
    if (readNumber(a, x) && readNumber(b, y))
        return x < y ? -1 : (y < x ? 1 : 0);
    return textCollator().compare(a, b);
}

void sortRecords(QList<AddressRecord> &records)
{
    std::stable_sort(records.begin(), records.end(), [](const AddressRecord &a, const AddressRecord &b) {
        const int byName = genericCompare(a.name, b.name);
        return byName != 0 ? byName < 0 : genericCompare(a.number, b.number) < 0;
    });
}

AddressBook::AddressBook()
    : m_rows{AddressRecord{}}
{
}

void AddressBook::setCurrent(int index)
{
    m_current = std::clamp(index, 0, rowCount() - 1);
}

void AddressBook::setTopRow(int index)
{
    m_top = std::clamp(index, 0, rowCount() - 1);
}

void AddressBook::clampRows()
{
    if (m_rows.isEmpty())
        m_rows.append(AddressRecord{});
    setCurrent(m_current);
    setTopRow(m_top);
}

void AddressBook::load(const QList<AddressRecord> &records)
{
    m_rows = records;
    sort();
    m_current = 0;
    m_top = 0;
    clampRows();
    m_changed = false;
}

void AddressBook::setName(const QString &name)
{
    AddressRecord &r = m_rows[m_current];
    if (r.name != name)
        m_changed = true;
    r.name = name;
}

void AddressBook::setNumber(const QString &number)
{
    AddressRecord &r = m_rows[m_current];
    if (r.number != number)
        m_changed = true;
    r.number = number;
}

void AddressBook::add()
{
    m_changed = true;
    m_rows.append(AddressRecord{});
    m_current = rowCount() - 1;
    const int gridRows = rowCount() + 1;  // the list's header row counts
    if (gridRows >= 7)
        m_top = gridRows - 6 - 1;
}

void AddressBook::insert()
{
    m_changed = true;
    m_rows.insert(m_current, AddressRecord{});
}

void AddressBook::remove()
{
    m_changed = true;
    const int top = m_top;
    if (rowCount() > 1)
        m_rows.removeAt(m_current);
    else
        m_rows[0] = AddressRecord{};
    clampRows();
    setTopRow(top);
}

void AddressBook::importRecords(const QList<AddressRecord> &records)
{
    m_changed = true;
    const bool onlyEmptyRow = rowCount() == 1 && m_rows[0].isEmpty();
    if (!records.isEmpty()) {
        if (onlyEmptyRow)
            m_rows.clear();
        m_rows.append(records);
    } else if (!onlyEmptyRow) {
        // An import that finds no number leaves the empty row it made for
        // the first one.
        m_rows.append(AddressRecord{});
    }
    sort();
    clampRows();
}

QList<AddressRecord> AddressBook::recordsToSave() const
{
    QList<AddressRecord> out;
    for (const AddressRecord &r : m_rows) {
        if (!r.isEmpty())
            out.append(r);
    }
    return out;
}

} // namespace skedra
