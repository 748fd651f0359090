#include "settings.h"

#include "models.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace skedra {

namespace {

const QString SettingsGroup = QStringLiteral("Settings");
const QString InitGroup = QStringLiteral("Init");

const char *const FolderKeys[4] = {"ImagePath", "MusicPath", "AudioPath", "VoicePath"};

QString folderKey(AttachmentFolder folder)
{
    return QString::fromLatin1(FolderKeys[static_cast<int>(folder)]);
}

QString columnKey(int column)
{
    return QStringLiteral("ColWidth") + QString::number(column);
}

std::optional<double> toNumber(const QString &text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// Booleans are kept as "true"/"false"; "True"/"False" and numbers (0 is
// false) read too.
std::optional<bool> toBool(const QString &text)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    if (const auto number = toNumber(t))
        return *number != 0;
    return std::nullopt;
}

QString numberText(double value)
{
    // Plain decimal text, never an exponent: 15360, 1234.5.
    return QString::number(value, 'f', QLocale::FloatingPointShortest);
}

QString boolText(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

} // namespace

SettingsStore::SettingsStore()
    : m_settings(QStringLiteral("Skedra"), QStringLiteral("Skedra"))
{
}

SettingsStore::SettingsStore(const QString &iniFileName)
    : m_settings(iniFileName, QSettings::IniFormat)
{
}

QString SettingsStore::text(const QString &group, const QString &key) const
{
    const QVariant value = m_settings.value(group + QLatin1Char('/') + key);
    // A hand-edited value with a comma reads back as a list; keep its text.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

void SettingsStore::write(const QString &group, const QString &key, const QString &value)
{
    m_settings.setValue(group + QLatin1Char('/') + key, value);
}

bool SettingsStore::commit()
{
    m_settings.sync();
    return m_settings.status() == QSettings::NoError;
}

StoredGeometry SettingsStore::geometry() const
{
    auto read = [this](const char *key) {
        return toNumber(text(SettingsGroup, QString::fromLatin1(key)));
    };
    StoredGeometry g;
    g.left = read("MainLeft");
    g.top = read("MainTop");
    g.width = read("MainWidth");
    g.height = read("MainHeight");
    g.gridWidth = read("GridWidth");
    g.gridHeight = read("GridHeight");
    return g;
}

const ColumnWidths &SettingsStore::defaultColumnWidths()
{
    static const ColumnWidths widths = {300, 800, 2050, 2050, 2000, 2250, 1000, 1000, 1400, 800, 900};
    return widths;
}

ColumnWidths SettingsStore::columnWidths() const
{
    ColumnWidths widths = defaultColumnWidths();
    for (int c = 0; c < GridColumnCount; ++c) {
        const auto value = toNumber(text(SettingsGroup, columnKey(c)));
        if (value && *value >= 0 && *value <= 1e7)
            widths[static_cast<size_t>(c)] = static_cast<int>(std::lround(*value));
    }
    return widths;
}

WindowShowState SettingsStore::windowState() const
{
    // Only "0" and "2" are ever stored; anything else starts normal rather
    // than minimised.
    return text(SettingsGroup, QStringLiteral("WindowState")).trimmed() == QLatin1String("2")
        ? WindowShowState::Maximised
        : WindowShowState::Normal;
}

StoredFont SettingsStore::font() const
{
    StoredFont f;
    const QString name = text(SettingsGroup, QStringLiteral("FontName"));
    if (!name.isEmpty())
        f.name = name;
    if (const auto size = toNumber(text(SettingsGroup, QStringLiteral("FontSize"))); size && *size > 0)
        f.size = size;
    f.bold = toBool(text(SettingsGroup, QStringLiteral("FontBold")));
    f.italic = toBool(text(SettingsGroup, QStringLiteral("FontItalic")));
    return f;
}

QString SettingsStore::modelCode() const
{
    return text(SettingsGroup, QStringLiteral("ModelCode"));
}

QString SettingsStore::attachmentFolder(AttachmentFolder folder) const
{
    return text(SettingsGroup, folderKey(folder));
}

bool SettingsStore::SaveWindowSettings(WindowShowState state, const WindowGeometry &geometry,
                                const ColumnWidths &columns)
{
    if (state == WindowShowState::Minimised)
        return true;
    const bool maximised = state == WindowShowState::Maximised;
    write(SettingsGroup, QStringLiteral("WindowState"), maximised ? QStringLiteral("2") : QStringLiteral("0"));
    if (!maximised) {
        write(SettingsGroup, QStringLiteral("MainLeft"), numberText(geometry.left));
        write(SettingsGroup, QStringLiteral("MainTop"), numberText(geometry.top));
        write(SettingsGroup, QStringLiteral("MainWidth"), numberText(geometry.width));
        write(SettingsGroup, QStringLiteral("MainHeight"), numberText(geometry.height));
        write(SettingsGroup, QStringLiteral("GridWidth"), numberText(geometry.gridWidth));
        write(SettingsGroup, QStringLiteral("GridHeight"), numberText(geometry.gridHeight));
        for (int c = 0; c < GridColumnCount; ++c)
            write(SettingsGroup, columnKey(c), QString::number(columns[static_cast<size_t>(c)]));
    }
    return commit();
}

StoredGeometry SettingsStore::calendarGeometry() const
{
    StoredGeometry g;
    if (text(SettingsGroup, QStringLiteral("CalendarTop")).isEmpty())
        return g;
    auto read = [this](const char *key) {
        return toNumber(text(SettingsGroup, QString::fromLatin1(key)));
    };
    g.left = read("CalendarLeft");
    g.top = read("CalendarTop");
    g.height = read("CalendarHeight");
    g.width = read("CalendarWidth");
    return g;
}

WindowShowState SettingsStore::calendarWindowState() const
{
    return text(SettingsGroup, QStringLiteral("CalendarWindowState")).trimmed() == QLatin1String("2")
        ? WindowShowState::Maximised
        : WindowShowState::Normal;
}

bool SettingsStore::saveCalendarSettings(WindowShowState state, const WindowGeometry &geometry)
{
    if (state == WindowShowState::Minimised)
        return true;
    const bool maximised = state == WindowShowState::Maximised;
    write(SettingsGroup, QStringLiteral("CalendarWindowState"),
          maximised ? QStringLiteral("2") : QStringLiteral("0"));
    if (!maximised) {
        write(SettingsGroup, QStringLiteral("CalendarTop"), numberText(geometry.top));
        write(SettingsGroup, QStringLiteral("CalendarLeft"), numberText(geometry.left));
        write(SettingsGroup, QStringLiteral("CalendarHeight"), numberText(geometry.height));
        write(SettingsGroup, QStringLiteral("CalendarWidth"), numberText(geometry.width));
    }
    return commit();
}

QStringList withRecentFile(const QStringList &files, const QString &path)
{
    QStringList list{QFileInfo(path).absoluteFilePath()};
    for (const QString &f : files) {
        if (list.size() == RecentFileCount)
            break;
        const QString file = f.isEmpty() ? f : QFileInfo(f).absoluteFilePath();
        if (!file.isEmpty() && !list.contains(file))
            list.append(file);
    }
    return list;
}

QString recentFileCaption(int n, const QString &path)
{
    QString shown = QDir::toNativeSeparators(path);
    shown.replace(QLatin1Char('&'), QLatin1String("&&"));
    return QLatin1Char('&') + QString::number(n) + QLatin1Char(' ') + shown;
}

QStringList SettingsStore::recentFiles() const
{
    QStringList files;
    for (int n = 1; n <= RecentFileCount; ++n) {
        const QString file = text(SettingsGroup, QStringLiteral("RecentFile") + QString::number(n));
        if (!file.isEmpty())
            files.append(file);
    }
    return files;
}

bool SettingsStore::saveRecentFiles(const QStringList &files)
{
    for (int n = 1; n <= RecentFileCount; ++n)
        write(SettingsGroup, QStringLiteral("RecentFile") + QString::number(n), files.value(n - 1));
    return commit();
}

bool SettingsStore::saveModelCode(const QString &code)
{
    write(SettingsGroup, QStringLiteral("ModelCode"), code);
    return commit();
}

bool SettingsStore::saveFont(const GridFont &font)
{
    write(SettingsGroup, QStringLiteral("FontName"), font.name);
    write(SettingsGroup, QStringLiteral("FontSize"), numberText(font.size));
    write(SettingsGroup, QStringLiteral("FontBold"), boolText(font.bold));
    write(SettingsGroup, QStringLiteral("FontItalic"), boolText(font.italic));
    return commit();
}

bool SettingsStore::saveAttachmentFolder(AttachmentFolder folder, const QString &path)
{
    write(SettingsGroup, folderKey(folder), path);
    return commit();
}

EntryDefaults SettingsStore::entryDefaults() const
{
    EntryDefaults defaults; // built-in values
    for (const EntryDefaults::Field &field : EntryDefaults::fields()) {
        const QString value = text(InitGroup, QString::fromLatin1(field.key));
        if (!value.isEmpty())
            defaults.*field.member = value;
    }
    return defaults;
}

bool SettingsStore::saveEntryDefaults(const EntryDefaults &defaults)
{
    for (const EntryDefaults::Field &field : EntryDefaults::fields())
        write(InitGroup, QString::fromLatin1(field.key), defaults.*field.member);
    return commit();
}

StartupSettings LoadSettings(const SettingsStore &settings)
{
    StartupSettings s;
    const StoredGeometry geometry = settings.geometry();
    if (geometry.left)
        s.geometry = geometry;
    for (int f = 0; f < 4; ++f)
        s.attachmentFolders[static_cast<size_t>(f)] = settings.attachmentFolder(static_cast<AttachmentFolder>(f));
    s.font = settings.font();
    s.columnWidths = settings.columnWidths();
    s.windowState = settings.windowState();
    s.storedModelCode = settings.modelCode();
    s.entryDefaults = settings.entryDefaults();
    s.headerFormat = modelProfileOrDefault(s.storedModelCode).headerFormat();
    return s;
}

int storedPixels(double twips)
{
    constexpr double TwipsPerPixel = 15;
    return static_cast<int>(std::lround(std::clamp(twips, -1.0e7, 1.0e7) / TwipsPerPixel));
}

QRect storedPlace(const StoredGeometry &stored, const QRect &current, const QRect &desktop, const QSize &minimum)
{
    QPoint pos = current.topLeft();
    if (stored.left)
        pos.setX(storedPixels(*stored.left));
    if (stored.top)
        pos.setY(storedPixels(*stored.top));
    QSize size = current.size();
    if (stored.height)
        size.setHeight(storedPixels(*stored.height));
    if (stored.width)
        size.setWidth(storedPixels(*stored.width));
    if (desktop.isValid()) {
        size = size.boundedTo(desktop.size());
        if (!desktop.contains(pos))
            pos = current.topLeft();
    }
    return QRect(pos, size.expandedTo(minimum));
}

} // namespace skedra
