#include "addressbook.h"

#include <QCollator>
#include <QLocale>
#include <QRegularExpression>

#include <algorithm>
#include <optional>
#include <vector>

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

namespace {

// A text as the list's comparison needs it: whether it reads as a number,
// worked out once, and its collation key, made the first time two texts
// must be collated (equal texts and pairs of numbers never are).
class CompareKey {
public:
    explicit CompareKey(const QString &text)
        : m_text(&text)
        , m_isNumber(readNumber(text, m_value))
    {
    }

    friend int compareKeys(const CompareKey &a, const CompareKey &b)
    {
        if (a.m_isNumber && b.m_isNumber)
            return a.m_value < b.m_value ? -1 : (b.m_value < a.m_value ? 1 : 0);
        if (*a.m_text == *b.m_text)
            return 0;
        return a.collation().compare(b.collation());
    }

private:
    const QCollatorSortKey &collation() const
    {
        if (!m_collation)
            m_collation = textCollator().sortKey(*m_text);
        return *m_collation;
    }

    const QString *m_text;  // outlives the key
    double m_value = 0;
    bool m_isNumber;
    mutable std::optional<QCollatorSortKey> m_collation;
};

} // namespace

int genericCompare(const QString &a, const QString &b)
{
    return compareKeys(CompareKey(a), CompareKey(b));
}

void sortRecords(QList<AddressRecord> &records)
{
    // A row's keys are made once rather than at every comparison.
    struct Row {
        CompareKey name;
        CompareKey number;
        qsizetype index;
    };
    const QList<AddressRecord> in = records;
    std::vector<Row> rows;
    rows.reserve(size_t(in.size()));
    for (qsizetype i = 0; i < in.size(); ++i)
        rows.push_back({CompareKey(in[i].name), CompareKey(in[i].number), i});
    std::stable_sort(rows.begin(), rows.end(), [](const Row &a, const Row &b) {
        const int byName = compareKeys(a.name, b.name);
        return byName != 0 ? byName < 0 : compareKeys(a.number, b.number) < 0;
    });
    QList<AddressRecord> sorted;
    sorted.reserve(in.size());
    for (const Row &row : rows)
        sorted.append(in[row.index]);
    records = std::move(sorted);
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

bool AddressBook::importRecords(const QList<AddressRecord> &records)
{
    const bool onlyEmptyRow = rowCount() == 1 && m_rows[0].isEmpty();
    const qsizetype kept = onlyEmptyRow ? 0 : rowCount();
    const qsizetype added = records.isEmpty() && !onlyEmptyRow ? 1 : records.size();
    if (kept + added > MaxBookRecords)
        return false;
    m_changed = true;
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
    return true;
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
