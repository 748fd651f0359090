// Fuzz entry point: the entry editor driven by arbitrary input.
//
// Input: one byte for the handset model, one byte N, N actions of four
// bytes each (what the user does: an option click, a list choice, a typed
// text, a picker change, Next, Back or OK, with three argument bytes), and
// the rest a .vcs file whose entries fill the list; the editor opens on one
// of them.
//
// After every action:
// - it set off at most MaxHandlerCalls handler calls (a rule that keeps
//   setting off another loops);
// - the only messages are the store's refusals (a handler that loops
//   without calling another never returns: libFuzzer reports a timeout);
// - OK either stores (the form closes, the entry holds the form) or
//   refuses with one of those messages and keeps the form open;
// - an entry OK stored, opened again and stored untouched, keeps all of
//   its 90 strings (the status may follow its dates once).
#include "editormodel.h"
#include "fuzz_session.h"
#include "gridrender.h"
#include "newentry.h"
#include "scripted_dialogs.h"
#include "soundcatalogue.h"
#include "vcsio.h"

#include <QByteArray>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <memory>

using namespace skedra;
using namespace skedra::test;

namespace {

const QDate Today(2005, 3, 10);

// The most handler calls one user action may set off: OK with its second
// opening and store sets off the most, a few dozen.
constexpr long MaxHandlerCalls = 200;

const std::array<const char *, 7> Models = {"SH51", "SH52", "SH53", "601SH", "602SH", "603SH", "604SH"};

// What the user types, as a small palette of texts the rules care about.
const std::array<const char *, 16> Texts = {
    "", "0", "1", "3", "99", "150", "x", "-1", " 2", "会議",
    "090-1234-5678", "*#-", "+81312345678", "+", "ﾃｽﾄ,=\r\n", "12345678901234567890"};

// The messages the store may show.
bool storeMessage(const QString &text)
{
    static const QStringList known = {
        QStringLiteral("件名を入力して下さい。　　　"),
        QStringLiteral("不正な電話番号です。　　　"),
        QStringLiteral("ﾒﾛﾃﾞｨﾃﾞｰﾀを指定してください♪　　　"),
        QStringLiteral("予定開始日以降の日付は指定できません！　　　"),
    };
    return known.contains(text);
}

struct Action {
    uint8_t op, a, b, c;

    QString text() const { return QString::fromUtf8(Texts[a % Texts.size()]); }
    // Any day from 1990 to 2099, as the pickers offer.
    QDate date() const { return QDate(1990, 1, 1).addDays((a * 256 + b) % (110 * 365)); }
    QTime time() const { return QTime(a % 24, b % 60); }
    bool flag() const { return c & 1; }
    Pair pair() const { return c & 1 ? Pair::On : Pair::Off; }
};

// Selects an entry of a drop-down list, as a click on it does.
void choose(ListChoice &list, uint8_t pick)
{
    if (!list.items.isEmpty())
        list.index = pick % list.items.size();
}

class Run {
public:
    Run(SessionState &state, const QString &model)
        : m_state(state)
    {
        m_state.ModelCode = model;
        m_catalogue.LoadSoundCatalogue(model);
        fitGridToList(m_state.ScheduleList, m_grid, true);
    }

    void open(int index)
    {
        m_state.EditIndex = index;
        m_state.EditMode = QStringLiteral("edit");
        m_state.WorkEntry = m_state.ScheduleList[index - 1];
        addMissingHandsetProperties(m_state.WorkEntry, m_state.ModelCode);
        m_model = std::make_unique<EditorModel>(m_state, m_grid, m_dialogs, m_hooks, m_catalogue,
                                                [] { return Today; });
        m_callsBefore = 0;  // OK opens the entry again: count in the new model
        m_model->Form_Load();
    }

    void act(const Action &x)
    {
        EditorModel &m = *m_model;
        EditorForm &f = m.form;
        AlarmFields &al = f.alarm;
        const size_t before = m_dialogs.messages.size();
        m_callsBefore = m.handlerCalls();
        switch (x.op % 32) {
        case 0: m.optEvent_Click(x.flag() ? Kind::Todo : Kind::Event); break;
        case 1: m.selectRepeat(Repeat(1 + x.a % 5)); break;
        case 2: m.selectWeekday(1 + x.a % 7); break;
        case 3: m.txtLoop_Change(x.text()); break;
        case 4: m.dtpFrDate_Change(x.date()); break;
        case 5: m.dtpFrTime_Change(x.time()); break;
        case 6: m.dtpToDate_Change({x.date(), x.flag()}); break;
        case 7: m.dtpToTime_Change({x.time(), x.flag()}); break;
        case 8: m.optArarm_Click(x.pair()); break;
        case 9: m.optRing_Click(x.flag() ? Ring::Folder : Ring::Melody); break;
        case 10: m.opt_folder_Click(x.a % SoundFolderCount); break;
        case 11: m.optRmp_Click(Lamp(1 + x.a % 3)); break;
        case 12: m.optPreArarm_Click(x.pair()); break;
        case 13: m.cmbPreArarm_Click(x.a % 5); break;
        case 14: m.txtPreArarm_Change(x.text()); if (x.flag()) m.txtPreArarm_LostFocus(); break;
        case 15: m.optSnooze_Click(x.pair()); break;
        case 16: m.txtSnooze_Change(x.text()); if (x.flag()) m.txtSnooze_LostFocus(); break;
        case 17: m.optArmTime_Change(x.text()); if (x.flag()) m.optArmTime_LostFocus(); break;
        case 18: al.date = x.date(); m.dtpArDate_Change(al.date); break;
        case 19: al.time = x.time(); break;
        case 20: if (m.profile().picture) m.optPic_Click(x.pair()); break;
        case 21: m.TabStrip1_Click(1 + x.a % 2); break;
        case 22: f.summary = x.text(); break;
        case 23: m.txtDescription_Change(x.text()); break;
        case 24: al.tel = x.text(); break;
        case 25: al.message = x.text(); break;
        case 26:
            switch (x.a % 9) {
            case 0: choose(f.categories, x.b); break;
            case 1: choose(f.priority, x.b); break;
            case 2: choose(f.dateColour, x.b); break;
            case 3: if (al.melodyEnabled) { al.melody = x.b % qMax(1, int(al.melodies.size())); } break;
            case 4: al.volume = x.b % volumeNames().size(); break;
            case 5: al.largePattern = x.b % qMax(1, int(al.lampPatterns.size())); break;
            case 6: al.largeColour = x.b % qMax(1, int(al.lampColours.size())); break;
            case 7: al.smallPattern = x.b % qMax(1, int(al.smallLampPatterns.size())); break;
            case 8: choose(f.summaryHistory, x.b); break;
            }
            break;
        case 27:
            switch (x.a % 5) {
            case 0: f.secret = x.pair(); break;
            case 1: f.status = x.flag() ? TaskStatus::Needs : TaskStatus::Comp; break;
            case 2: f.autoDelete = x.pair(); break;
            case 3: f.standby = x.pair(); break;
            case 4: al.vibration = x.pair(); break;
            }
            break;
        case 28: m.Command6_Click(); break;
        case 29: m.Command7_Click(); break;
        default: ok(); break;
        }
        for (size_t i = before; i < m_dialogs.messages.size(); ++i) {
            if (!storeMessage(m_dialogs.messages[i].text))
                std::abort();
        }
        if (m_model->handlerCalls() - m_callsBefore > MaxHandlerCalls)
            std::abort();
    }

private:
    void ok()
    {
        const size_t before = m_dialogs.messages.size();
        const int index = m_state.EditIndex;
        if (!m_model->cmdOk_Click()) {
            // Refused: one message, the form stays open.
            if (!m_model->form.StoreFailed || m_dialogs.messages.size() != before + 1)
                std::abort();
            return;
        }
        if (m_model->form.StoreFailed || m_dialogs.messages.size() != before)
            std::abort();
        // Opened again and stored untouched: the same 90 strings, but for
        // the status, which the status rule sets anew at every opening from
        // the dates (a status the user chose against them lasts until the
        // entry is opened again). Once more: then nothing changes at all.
        const ScheduleEntry stored = m_state.ScheduleList[index - 1];
        storeUntouched(index, before);
        const ScheduleEntry again = m_state.ScheduleList[index - 1];
        for (int slot = 0; slot < SlotCount; ++slot) {
            if (slot != StatusValue && again[slot] != stored[slot])
                std::abort();
        }
        storeUntouched(index, before);
        if (!(m_state.ScheduleList[index - 1] == again))
            std::abort();
    }

    void storeUntouched(int index, size_t messages)
    {
        open(index);
        if (!m_model->cmdOk_Click() || m_dialogs.messages.size() != messages)
            std::abort();
    }

    SessionState &m_state;
    ListGrid m_grid;
    ScriptedDialogs m_dialogs;
    RecordingHooks m_hooks;
    SoundCatalogue m_catalogue;
    std::unique_ptr<EditorModel> m_model;
    long m_callsBefore = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 3)
        return 0;
    const QString model = QString::fromLatin1(Models[data[0] % Models.size()]);
    const size_t actions = data[1];
    const uint8_t entryPick = data[2];
    size_t at = 3;
    if (size < at + 4 * actions)
        return 0;
    const uint8_t *script = data + at;
    at += 4 * actions;

    fuzz::InputScope scope;
    SessionState &state = fuzz::emptySession();
    readVcsData(state, QByteArray(reinterpret_cast<const char *>(data + at), qsizetype(size - at)));
    const int count = state.ScheduleList.count();
    if (count == 0)
        return 0;

    Run run(state, model);
    run.open(1 + entryPick % count);
    for (size_t i = 0; i < actions; ++i) {
        const uint8_t *p = script + 4 * i;
        run.act({p[0], p[1], p[2], p[3]});
    }
    return 0;
}
