// The real dialogs: Qt message boxes, file, folder and font dialogs, all
// owned by the main window.
#pragma once

#include "dialogs.h"

#include <QFont>

class QWidget;

namespace skedra {

// A font choice read from a QFont, and applied onto one (an empty name or a
// size of 0 keeps what `base` has).
FontChoice fontChoiceOf(const QFont &font);

// The sample the font dialog shows: the kinds of text the grid holds.
inline const QString FontSampleText = QStringLiteral("予定 ｲﾍﾞﾝﾄ アクション あいう AaBb 123");
QFont withFontChoice(QFont base, const FontChoice &choice);

class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget *owner);

    Answer message(const QString &title, const QString &text, MessageIcon icon,
                   MessageButtons buttons) override;
    QString openFile(const QString &title, const QString &filter) override;
    QString saveFile(const QString &title, const QString &filter) override;
    QString selectFolder(const QString &title) override;
    std::optional<FontChoice> font(const FontChoice &current) override;
    // A small dialog: the month, all rows or the selected rows, and the
    // list's paper orientation.
    std::optional<print::PrintChoice> printChoice(const QString &title, const print::PrintChoice &preset,
                                                 const QString &monthCaption, bool rowsSelected) override;

private:
    QWidget *m_owner;
};

} // namespace skedra
