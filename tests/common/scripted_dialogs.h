// A Dialogs double for tests: records every question exactly as asked and
// answers from a script, never opening a window.
#pragma once

#include "dialogs.h"

#include <QStringList>

#include <deque>
#include <vector>

namespace skedra::test {

struct AskedMessage {
    QString title;
    QString text;
    MessageIcon icon;
    MessageButtons buttons;
};

class ScriptedDialogs : public Dialogs {
public:
    // Answers to message boxes, in order; a box with no scripted answer gets
    // Ok / No / Cancel and is counted in unscripted.
    std::deque<Answer> answers;
    std::deque<QString> openFiles;     // results of openFile ("" = cancelled)
    std::deque<QString> saveFiles;     // results of saveFile
    std::deque<QString> folders;       // results of selectFolder
    std::deque<std::optional<FontChoice>> fonts;
    // Answers to the print choice, in order; unscripted, the preset is
    // taken as offered.
    std::deque<std::optional<print::PrintChoice>> printChoices;

    std::vector<AskedMessage> messages;
    QStringList fileDialogs;  // "open:<title>|<filter>", "save:...", "folder:<title>"
    QStringList startFolders; // fileFolder when each file dialog opened
    std::vector<FontChoice> fontPresets;
    struct AskedPrint {
        QString title;
        print::PrintChoice preset;
        QString monthCaption;
        bool rowsSelected;
    };
    std::vector<AskedPrint> printQuestions;
    int unscripted = 0;

    Answer message(const QString &title, const QString &text, MessageIcon icon,
                   MessageButtons buttons) override
    {
        messages.push_back({title, text, icon, buttons});
        if (!answers.empty()) {
            const Answer a = answers.front();
            answers.pop_front();
            return a;
        }
        ++unscripted;
        switch (buttons) {
        case MessageButtons::Ok: return Answer::Ok;
        case MessageButtons::YesNo: return Answer::No;
        default: return Answer::Cancel;
        }
    }
    QString openFile(const QString &title, const QString &filter) override
    {
        fileDialogs.append(QStringLiteral("open:") + title + QLatin1Char('|') + filter);
        startFolders.append(fileFolder);
        return take(openFiles);
    }
    QString saveFile(const QString &title, const QString &filter) override
    {
        fileDialogs.append(QStringLiteral("save:") + title + QLatin1Char('|') + filter);
        startFolders.append(fileFolder);
        return take(saveFiles);
    }
    QString selectFolder(const QString &title) override
    {
        fileDialogs.append(QStringLiteral("folder:") + title);
        startFolders.append(fileFolder);
        return take(folders);
    }
    std::optional<print::PrintChoice> printChoice(const QString &title, const print::PrintChoice &preset,
                                                 const QString &monthCaption, bool rowsSelected) override
    {
        printQuestions.push_back({title, preset, monthCaption, rowsSelected});
        if (printChoices.empty())
            return preset;
        auto c = printChoices.front();
        printChoices.pop_front();
        return c;
    }
    std::optional<FontChoice> font(const FontChoice &current) override
    {
        fontPresets.push_back(current);
        if (fonts.empty())
            return std::nullopt;
        auto f = fonts.front();
        fonts.pop_front();
        return f;
    }

    const AskedMessage &last() const { return messages.back(); }

private:
    static QString take(std::deque<QString> &q)
    {
        if (q.empty())
            return QString();
        QString s = q.front();
        q.pop_front();
        return s;
    }
};

// Counts what the commands asked of the window.
class RecordingHooks : public WindowHooks {
public:
    int busyOn = 0, busyOff = 0, countPanelUpdates = 0, gridChanges = 0;
    int loadingStarts = 0, loadingEnds = 0;
    std::vector<std::pair<int, int>> progress;
    QStringList filesUsed;
    std::vector<print::Printout> previews;

    void setBusy(bool on) override { ++(on ? busyOn : busyOff); }
    void loadingStarted() override { ++loadingStarts; }
    void loadingProgress(int seen, int total) override { progress.emplace_back(seen, total); }
    void loadingFinished() override { ++loadingEnds; }
    void gridChanged() override { ++gridChanges; }
    void updateCountPanel() override { ++countPanelUpdates; }
    void fileUsed(const QString &path) override { filesUsed.append(path); }
    void printPreview(const print::Printout &printout) override { previews.push_back(printout); }
};

} // namespace skedra::test
