// The schedule table: every entry of the open file as 90 strings.
//
// One entry holds 30 property positions, each as three texts: the property
// name (texts 0-29), its parameters (texts 30-59) and its value (60-89).
// Slot k = position + 30 * part. The table knows nothing of the file format;
// the reader and writer convert at the file boundary.
#pragma once

#include <QString>
#include <QtGlobal>

#include <array>
#include <functional>
#include <vector>

namespace skedra {

constexpr int MaxEntries = 500;
constexpr int PositionCount = 30;
constexpr int SlotCount = 90;

// Property positions. 27 and 28 are never used; 29 carries the component.
enum Position : int {
    DtStart = 0,
    DtEnd = 1,
    Summary = 2,
    Description = 3,
    Class = 4,
    Categories = 5,
    DAlarm = 6,
    RRule = 7,
    Priority = 8,
    Status = 9,
    JpgFrom = 10,
    JpgSerial = 11,
    Tel = 12,
    Snd = 13,
    Vol = 14,
    Viv = 15,
    Sec = 16,
    Yearly = 17,
    CmbltNo = 18,
    ShAlarm = 19,
    NoAutoDel = 20,
    NoDispDefWin = 21,
    CalColor = 22,
    PreAlarm = 23,
    Snooze = 24,
    Attach = 25,
    ShCategories = 26,
    Component = 29,
};

enum Part : int { NamePart = 0, ParamsPart = 1, ValuePart = 2 };

constexpr int slotOf(int position, int part) { return position + PositionCount * part; }
constexpr int nameSlot(int position) { return slotOf(position, NamePart); }
constexpr int paramsSlot(int position) { return slotOf(position, ParamsPart); }
constexpr int valueSlot(int position) { return slotOf(position, ValuePart); }

#define SKEDRA_POSITION_SLOTS(P) \
    P##Name = nameSlot(P), P##Params = paramsSlot(P), P##Value = valueSlot(P)

// Slot names: <Position>Name, <Position>Params, <Position>Value.
enum Slot : int {
    SKEDRA_POSITION_SLOTS(DtStart),
    SKEDRA_POSITION_SLOTS(DtEnd),
    SKEDRA_POSITION_SLOTS(Summary),
    SKEDRA_POSITION_SLOTS(Description),
    SKEDRA_POSITION_SLOTS(Class),
    SKEDRA_POSITION_SLOTS(Categories),
    SKEDRA_POSITION_SLOTS(DAlarm),
    SKEDRA_POSITION_SLOTS(RRule),
    SKEDRA_POSITION_SLOTS(Priority),
    SKEDRA_POSITION_SLOTS(Status),
    SKEDRA_POSITION_SLOTS(JpgFrom),
    SKEDRA_POSITION_SLOTS(JpgSerial),
    SKEDRA_POSITION_SLOTS(Tel),
    SKEDRA_POSITION_SLOTS(Snd),
    SKEDRA_POSITION_SLOTS(Vol),
    SKEDRA_POSITION_SLOTS(Viv),
    SKEDRA_POSITION_SLOTS(Sec),
    SKEDRA_POSITION_SLOTS(Yearly),
    SKEDRA_POSITION_SLOTS(CmbltNo),
    SKEDRA_POSITION_SLOTS(ShAlarm),
    SKEDRA_POSITION_SLOTS(NoAutoDel),
    SKEDRA_POSITION_SLOTS(NoDispDefWin),
    SKEDRA_POSITION_SLOTS(CalColor),
    SKEDRA_POSITION_SLOTS(PreAlarm),
    SKEDRA_POSITION_SLOTS(Snooze),
    SKEDRA_POSITION_SLOTS(Attach),
    SKEDRA_POSITION_SLOTS(ShCategories),
    // Position 29 is not a property line.
    ComponentName = nameSlot(Component),   // "VEVENT" or "VTODO"
    CategoryCode = paramsSlot(Component),  // two-digit sort key, never written
    KeptAsRead = valueSlot(Component),     // positions whose value is held as the file had it
};

#undef SKEDRA_POSITION_SLOTS

// One event or to-do: 90 texts addressed by slot.
struct ScheduleEntry {
    std::array<QString, SlotCount> texts;

    QString &operator[](int slot) { return texts[static_cast<size_t>(slot)]; }
    const QString &operator[](int slot) const { return texts[static_cast<size_t>(slot)]; }

    // An entry exists exactly when its DTSTART name is set.
    bool exists() const { return !texts[DtStartName].isEmpty(); }
    // All 90 texts are empty.
    bool isBlank() const;
    void clear();

    bool operator==(const ScheduleEntry &other) const = default;
};

// Names an entry of a ScheduleList for as long as the entry stays in it,
// wherever sorting and moving take it (a find hit holds one).
using EntryKey = quint64;

// The table of at most 500 entries, contiguous from index 0; table order is
// display order.
//
// Every place of the table carries a key that moves with its entry through
// removeAt, swap, reorder and removeIf. Removing an entry or emptying the
// table retires its key; a place left empty gets a key no one has seen, so
// an entry written there later is never taken for one that went. Only
// undoing the removal brings a retired key back, with the entry it named
// (setPlaces).
class ScheduleList {
public:
    // One place of the table: its key and its 90 texts.
    struct Place {
        EntryKey key;
        ScheduleEntry entry;
    };

    ScheduleList();

    ScheduleEntry &operator[](int index) { return m_entries[static_cast<size_t>(index)]; }
    const ScheduleEntry &operator[](int index) const { return m_entries[static_cast<size_t>(index)]; }

    QString &at(int index, int slot) { return (*this)[index][slot]; }
    const QString &at(int index, int slot) const { return (*this)[index][slot]; }

    // Number of entries: the index of the first entry without a DTSTART name.
    int count() const;

    // Whether entry `index` exists (its DTSTART name is set). A read entry
    // may have an empty start value, so the value is never the test.
    bool exists(int index) const
    {
        return index >= 0 && index < MaxEntries && (*this)[index].exists();
    }
    // The list is empty exactly when entry 0 does not exist.
    bool isEmpty() const { return !exists(0); }

    // Empties all 500 x 90 strings.
    void clear();

    // Removes entry `index`, moving the later ones up; the last becomes empty.
    void removeAt(int index);

    // Swaps two entries (all 90 texts).
    void swap(int a, int b);

    // Puts entry order[i] at index i, for a permutation `order` of the
    // indexes 0 to order.size() - 1; the later entries stay where they are.
    void reorder(const std::vector<int> &order);

    // Removes every entry for which `remove` is true; the others move up in
    // their order.
    void removeIf(const std::function<bool(const ScheduleEntry &)> &remove);

    // The key of the entry at `index`.
    EntryKey keyAt(int index) const { return m_keys[static_cast<size_t>(index)]; }
    // Where the entry named by `key` is now; -1 once it was removed.
    int indexOf(EntryKey key) const;

    // The table rebuilt as a whole. takePlaces() moves all 500 places out
    // in order and leaves the table empty under keys no one has seen;
    // setPlaces() lays out the given places (at most 500, keys unique and
    // all of this table's making) from index 0 and empties the rest.
    std::vector<Place> takePlaces();
    void setPlaces(std::vector<Place> places);

    // Equal entries; the keys are not compared.
    bool operator==(const ScheduleList &other) const { return m_entries == other.m_entries; }

private:
    // A key for a place that was left empty.
    EntryKey freshKey() { return m_nextKey++; }

    std::vector<ScheduleEntry> m_entries;
    std::vector<EntryKey> m_keys;
    EntryKey m_nextKey = 0;
};

} // namespace skedra
