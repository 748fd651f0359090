// The per-user settings: one type that owns every key of the sections
// "Settings" and "Init", their defaults, and the rules for when each is
// written. Values are stored as text in QSettings("Skedra", "Skedra").
//
// The window follows LoadSettings at start and SaveWindowSettings when it
// closes, and stores the model, the grid font, the entry defaults and the
// attachment folders through the save functions as soon as they change.
#pragma once

#include "entrydefaults.h"

#include <QRect>
#include <QSettings>
#include <QString>

#include <array>
#include <optional>

namespace skedra {

enum class WindowShowState { Normal = 0, Minimised = 1, Maximised = 2 };

// Window and grid geometry in twips (1/1440 inch; 15 twips per pixel at 96
// dpi). At start each value is present only when it was stored and readable.
struct StoredGeometry {
    std::optional<double> left, top, width, height;
    std::optional<double> gridWidth, gridHeight;
};

// The geometry the window has when it closes, in twips.
struct WindowGeometry {
    double left = 0, top = 0, width = 0, height = 0;
    double gridWidth = 0, gridHeight = 0;
};

// Pixels of a stored twips value (15 twips a pixel), kept to a range that
// cannot overflow.
int storedPixels(double twips);

// Where a window goes from its stored place. Each stored value replaces the
// one of `current`: left and top are the corner of the window's frame (as
// QWidget::pos() and move() have it), width and height its inside (as
// size() and resize()), so a window saved and restored this way stays where
// it was. A hand-edited or stale place must not lose the window: the size
// stays within `desktop` (the screens' available area; not applied when
// empty) and a position outside it keeps current's. The size is at least
// `minimum`.
QRect storedPlace(const StoredGeometry &stored, const QRect &current, const QRect &desktop, const QSize &minimum);

constexpr int GridColumnCount = 11;
using ColumnWidths = std::array<int, GridColumnCount>;

// The grid font as stored; a missing or unreadable key leaves that part of
// the designed font in place.
struct StoredFont {
    std::optional<QString> name;
    std::optional<double> size;
    std::optional<bool> bold, italic;
};

struct GridFont {
    QString name;
    double size = 9;
    bool bold = false;
    bool italic = false;
};

// Last folders used when picking attachment files (the entry editor).
enum class AttachmentFolder { Image, Music, Audio, Voice };

// The recently used files, the latest first: at most this many.
constexpr int RecentFileCount = 6;
// `files` with `path` (made absolute) in front, once, and at most
// RecentFileCount long.
QStringList withRecentFile(const QStringList &files, const QString &path);
// The menu caption of recent file `n` (1 to 6): "&1 " and the path as the
// system writes it, every "&" of it doubled so that it is no access key.
QString recentFileCaption(int n, const QString &path);

class SettingsStore {
public:
    // The store of the application "Skedra". Tests redirect it with
    // QSettings::setPath before creating one.
    SettingsStore();
    // A store in an INI file of its own.
    explicit SettingsStore(const QString &iniFileName);

    // --- "Settings" ------------------------------------------------------

    StoredGeometry geometry() const;
    // ColWidth0 to ColWidth10; an empty or unreadable value gives the default.
    ColumnWidths columnWidths() const;
    static const ColumnWidths &defaultColumnWidths();
    // Normal unless "2" (maximised) is stored.
    WindowShowState windowState() const;
    StoredFont font() const;
    // The stored text as it is; modelProfileOrDefault() turns it into a model.
    QString modelCode() const;
    QString attachmentFolder(AttachmentFolder folder) const;

    // Closing: minimised saves nothing; otherwise WindowState ("0" or "2");
    // when not maximised also the geometry and the column widths. Returns
    // false when the store could not be written.
    bool SaveWindowSettings(WindowShowState state, const WindowGeometry &geometry,
                     const ColumnWidths &columns);
    bool saveModelCode(const QString &code);
    bool saveFont(const GridFont &font);
    bool saveAttachmentFolder(AttachmentFolder folder, const QString &path);
    // RecentFile1 to RecentFile6, the latest first; empty keys are skipped.
    QStringList recentFiles() const;
    bool saveRecentFiles(const QStringList &files);

    // The calendar window's keys. CalendarLeft, CalendarTop, CalendarHeight
    // and CalendarWidth are read only when CalendarTop is stored; otherwise
    // the calendar takes the main window's place.
    StoredGeometry calendarGeometry() const;
    // CalendarWindowState: maximised for "2", normal otherwise (empty reads
    // as "0"; a minimised calendar is never stored).
    WindowShowState calendarWindowState() const;
    // Closing the calendar: minimised saves nothing; otherwise the state,
    // and when not maximised also the place and size (left, top, width and
    // height of `geometry`).
    bool saveCalendarSettings(WindowShowState state, const WindowGeometry &geometry);

    // --- "Init" ----------------------------------------------------------

    // The eighteen keys; a missing or empty key gives its built-in value.
    EntryDefaults entryDefaults() const;
    // All eighteen keys in their order.
    bool saveEntryDefaults(const EntryDefaults &defaults);

    // One raw text ("" when missing), for the window's own keys and tests.
    QString text(const QString &group, const QString &key) const;

private:
    void write(const QString &group, const QString &key, const QString &value);
    bool commit();

    QSettings m_settings;
};

// What the window applies at start, in this order:
//  1. create the quoted-printable coder (the window's own);
//  2. `geometry`, when MainLeft is stored: window left, top, height, width,
//     then grid height, grid width (each part that is present);
//  3. keep `attachmentFolders` for the editor;
//  4. each part of `font` that is present on the grid font;
//  5. `columnWidths` (defaults filled in);
//  6./7. remember the window size as the resize base, then apply
//     `windowState`;
//  8. `entryDefaults` as the in-memory EntryDefaults;
//  9. the grid: header `headerFormat` (by the stored model; a later model
//     change does not rewrite it), the column widths, columns 0, 1, 6, 7
//     centred, selection to column 10;
// 10.-12. SelectStartupModel(storedModelCode), then the title and status
//     panel 2 from its result;
// 13. open the file named on the command line.
struct StartupSettings {
    std::optional<StoredGeometry> geometry;
    std::array<QString, 4> attachmentFolders;   // by AttachmentFolder
    StoredFont font;
    ColumnWidths columnWidths{};
    WindowShowState windowState = WindowShowState::Normal;
    QString storedModelCode;
    EntryDefaults entryDefaults;
    QString headerFormat;
};

StartupSettings LoadSettings(const SettingsStore &settings);

} // namespace skedra
