// Files Skedra writes, read by a peer nobody here wrote: libical's
// vCalendar 1.0 parser (vcc). Every summary, start and end must come out as
// our own reader sees them.
//
// What the peer cannot do, and how the test works around it:
// - it ignores CHARSET and hands back the bytes of a value (quoted-printable
//   already resolved) one per character: the test takes them as CP932;
// - it splits a quoted-printable DALARM value in the wrong places: DALARM is
//   not compared;
// - it loops forever on lower-case hex escapes (libical issue 353): our
//   writer only writes upper case, which this test relies on;
// - it rejects the whole file at any property with an empty value (the
//   handset writes "RRULE:", "X-JPG-SERIAL:", "X-JPG-FROM;...:" and so on):
//   such lines are left out of what the peer is given;
// - it loops forever on the attachment's first line, a quoted-printable
//   value holding "VALUE=URL:" that ends in a soft line break: the two
//   attachment lines are left out too.
#include "vcstestutil.h"

#include <QDateTime>
#include <QFile>

extern "C" {
#include <libical/vcc.h>
#include <libical/vobject.h>
}

using namespace skedra;
using namespace skedra::test;

namespace {

struct PeerObject {
    QString component, summary, start, end;
};

QString valueText(VObject *prop)
{
    QByteArray bytes;
    switch (vObjectValueType(prop)) {
    case VCVT_STRINGZ:
        bytes = vObjectStringZValue(prop);
        break;
    case VCVT_USTRINGZ: {
        // One wchar_t per byte of the value.
        for (const wchar_t *w = vObjectUStringZValue(prop); w && *w; ++w)
            bytes += char(*w & 0xFF);
        break;
    }
    default:
        break;
    }
    return Sjis::decode(bytes);
}

QList<PeerObject> parseWithLibical(const QByteArray &bytes)
{
    QList<PeerObject> objects;
    VObject *list = Parse_MIME(bytes.constData(), static_cast<unsigned long>(bytes.size()));
    for (VObject *cal = list; cal; cal = nextVObjectInList(cal)) {
        VObjectIterator i;
        initPropIterator(&i, cal);
        while (moreIteration(&i)) {
            VObject *comp = nextVObject(&i);
            const QByteArray name = vObjectName(comp);
            if (name != VCEventProp && name != VCTodoProp)
                continue;
            PeerObject o;
            o.component = QString::fromLatin1(name);
            VObjectIterator j;
            initPropIterator(&j, comp);
            while (moreIteration(&j)) {
                VObject *prop = nextVObject(&j);
                const QByteArray pn = vObjectName(prop);
                if (pn == VCSummaryProp)
                    o.summary = valueText(prop);
                else if (pn == VCDTstartProp || pn == VCDueProp)
                    o.start = valueText(prop);
                else if (pn == VCDTendProp || pn == "COMPLETED")
                    o.end = valueText(prop);
            }
            objects.append(o);
        }
    }
    cleanVObjects(list);
    cleanStrTbl();
    return objects;
}

// A held local time as the UTC instant the peer should see.
QString utcOf(const QString &local)
{
    if (local.isEmpty())
        return QString();
    QDateTime dt = QDateTime::fromString(local, QStringLiteral("yyyyMMddHHmmss"));
    dt.setTimeSpec(Qt::UTC);
    return dt.addSecs(-9 * 3600).toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
}

// The file without the lines the peer cannot take (see the top).
QByteArray peerView(const QByteArray &bytes)
{
    QByteArray out;
    const QList<QByteArray> lines = bytes.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray &line = lines[i];
        if (line.startsWith("X-JPGSH-ATTACH;")) {
            ++i;  // and its second line
            continue;
        }
        if (line.endsWith(":\r"))
            continue;
        out += line;
        if (i + 1 < lines.size())
            out += '\n';
    }
    return out;
}

class VcsLibical : public VcsTest {
protected:
    void compareWithPeer(const QByteArray &bytes)
    {
        const QList<PeerObject> peer = parseWithLibical(peerView(bytes));
        read(bytes);
        const int n = state.ScheduleList.count();
        ASSERT_EQ(peer.size(), n);
        for (int i = 0; i < n; ++i) {
            EXPECT_EQ(peer[i].component, at(i, ComponentName)) << i;
            EXPECT_EQ(peer[i].summary, at(i, SummaryValue)) << i;
            EXPECT_EQ(peer[i].start, utcOf(at(i, DtStartValue))) << i;
            EXPECT_EQ(peer[i].end, utcOf(at(i, DtEndValue))) << i;
        }
    }
};

TEST_F(VcsLibical, ReadsTheSampleFileAsWeDo)
{
    QFile f(QStringLiteral(SKEDRA_SOURCE_DIR "/examples/sample.vcs"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    compareWithPeer(f.readAll());
}

TEST_F(VcsLibical, ReadsWrittenEntriesWithAwkwardText)
{
    const QStringList summaries = {"会議", "a=b;c:d", "  空白  ", "＋+~～①", "ｱｲｳｴｵｶｷｸｹｺｻｼｽｾ", "改行\\n?"};
    for (int i = 0; i < summaries.size(); ++i) {
        ScheduleEntry &e = state.ScheduleList[i];
        e[ComponentName] = i % 2 ? "VTODO" : "VEVENT";
        e[DtStartName] = i % 2 ? "DUE" : "DTSTART";
        e[DtStartValue] = i % 2 ? "20051231083000" : "20051230083000";  // across the UTC date line
        e[DtEndName] = i % 2 ? "COMPLETED" : "DTEND";
        e[DtEndValue] = i == 2 ? QString() : QStringLiteral("20060101003000");
        e[SummaryName] = "SUMMARY";
        e[SummaryParams] = "CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE";
        e[SummaryValue] = summaries[i];
        e[AttachName] = "X-JPGSH-ATTACH";
        e[AttachValue] = "写真.jpg";
    }
    state.FirstIndex = 1;
    state.LastIndex = MaxEntries;
    compareWithPeer(renderVcsData(state));
}

} // namespace
