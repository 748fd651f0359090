// Every message box and file, folder or font dialog of the main window goes
// through this interface, so the commands can run headless: the window uses
// QtDialogs (qtdialogs.h), tests a scripted double that records what was
// asked and gives pre-set answers.
#pragma once

#include "printout.h"  // PrintChoice, Printout
#include "vcsio.h"     // MessageIcon

#include <QString>

#include <optional>

namespace skedra {

enum class MessageButtons { Ok, YesNo, YesNoCancel };
enum class Answer { Ok, Yes, No, Cancel };

// A grid font as the settings keep it.
struct FontChoice {
    QString name;
    double size = 9.0;
    bool bold = false;
    bool italic = false;
    bool operator==(const FontChoice &) const = default;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // A modal message box. Closing it without a button counts as Cancel when
    // there is one, else as No (Ok for a plain message).
    virtual Answer message(const QString &title, const QString &text, MessageIcon icon,
                           MessageButtons buttons) = 0;
    // File dialogs; an empty result means cancelled. `filter` is a Qt name
    // filter ("vCalendar (*.vcs)").
    virtual QString openFile(const QString &title, const QString &filter) = 0;
    virtual QString saveFile(const QString &title, const QString &filter) = 0;
    // Folder browser over file-system folders; empty when cancelled.
    virtual QString selectFolder(const QString &title) = 0;
    // Where the file and folder dialogs start (empty: the system's choice).
    QString fileFolder;
    // Font dialog preset to `current`; nothing when cancelled.
    virtual std::optional<FontChoice> font(const FontChoice &current) = 0;
    // What to print, before the preview or the PDF file: the month
    // `monthCaption` ("2005年04月"), all rows of the list, or the selected
    // rows (offered when `rowsSelected`), and the list's paper orientation;
    // preset to `preset`. Nothing when cancelled.
    virtual std::optional<print::PrintChoice> printChoice(const QString &title, const print::PrintChoice &preset,
                                                         const QString &monthCaption, bool rowsSelected) = 0;

    // Shorthands for the two usual boxes.
    void error(const QString &text)
    {
        message(QStringLiteral("エラー"), text, MessageIcon::Critical, MessageButtons::Ok);
    }
    void show(const StoreMessage &m)
    {
        message(m.title(), m.text(), m.icon(), MessageButtons::Ok);
    }
};

// What the commands ask of the window besides dialogs. Every call has a
// do-nothing default so headless callers override only what they need.
class WindowHooks {
public:
    virtual ~WindowHooks() = default;

    // Busy (hourglass) pointer over the list.
    virtual void setBusy(bool) {}
    // The loading notice: opened before a read, fed while reading, closed
    // after.
    virtual void loadingStarted() {}
    virtual void loadingProgress(int /*objectsSeen*/, int /*objectsTotal*/) {}
    virtual void loadingFinished() {}
    // Paint the window now (after a dialog closed, before a long job).
    virtual void repaint() {}
    // The grid's rows, texts, selection or top row changed.
    virtual void gridChanged() {}
    // Status panel 1 must show countPanelText() of the grid.
    virtual void updateCountPanel() {}
    // A file was opened or saved: it heads the recently used files.
    virtual void fileUsed(const QString & /*path*/) {}
    // The print preview of `printout`, from which the user prints.
    virtual void printPreview(const print::Printout & /*printout*/) {}
};

} // namespace skedra
