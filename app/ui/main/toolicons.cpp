#include "toolicons.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyle>

namespace skedra {

namespace {

constexpr int IconSize = 32;

QPixmap blank()
{
    QPixmap pm(IconSize, IconSize);
    pm.fill(Qt::transparent);
    return pm;
}

// A sheet of paper with a folded corner, filling the left part of the icon.
void drawPage(QPainter &p)
{
    QPainterPath page;
    page.moveTo(5, 2);
    page.lineTo(20, 2);
    page.lineTo(26, 8);
    page.lineTo(26, 29);
    page.lineTo(5, 29);
    page.closeSubpath();
    p.setPen(QPen(QColor(90, 90, 90), 1.2));
    p.setBrush(Qt::white);
    p.drawPath(page);
    p.drawLine(QPointF(20, 2), QPointF(20, 8));
    p.drawLine(QPointF(20, 8), QPointF(26, 8));
    p.setPen(QPen(QColor(170, 170, 170), 1));
    for (int y = 12; y <= 24; y += 4)
        p.drawLine(QPointF(8, y), QPointF(22, y));
}

QIcon drawnAdd()
{
    QPixmap pm = blank();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    drawPage(p);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 150, 60));
    p.drawEllipse(QRectF(15, 15, 16, 16));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(21.5, 18, 3, 10));
    p.drawRect(QRectF(18, 21.5, 10, 3));
    return QIcon(pm);
}

QIcon drawnEdit()
{
    QPixmap pm = blank();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    drawPage(p);
    // A pencil lying from the lower left to the upper right.
    p.translate(20, 18);
    p.rotate(-45);
    p.setPen(QPen(QColor(80, 60, 20), 1));
    p.setBrush(QColor(240, 190, 50));
    p.drawRect(QRectF(-8, -3, 16, 6));
    p.setBrush(QColor(230, 120, 120));
    p.drawRect(QRectF(8, -3, 3, 6));
    QPainterPath tip;
    tip.moveTo(-8, -3);
    tip.lineTo(-14, 0);
    tip.lineTo(-8, 3);
    tip.closeSubpath();
    p.setBrush(QColor(245, 225, 190));
    p.drawPath(tip);
    return QIcon(pm);
}

QIcon drawnFont()
{
    QPixmap pm = blank();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QFont f(QStringLiteral("serif"));
    f.setPixelSize(26);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(30, 60, 150));
    p.drawText(QRect(0, 0, 22, 30), Qt::AlignCenter, QStringLiteral("A"));
    f.setPixelSize(16);
    p.setFont(f);
    p.setPen(QColor(170, 40, 40));
    p.drawText(QRect(17, 12, 15, 19), Qt::AlignCenter, QStringLiteral("a"));
    return QIcon(pm);
}

QIcon drawnCalendar()
{
    QPixmap pm = blank();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF body(3, 5, 26, 24);
    p.setPen(QPen(QColor(90, 90, 90), 1.2));
    p.setBrush(Qt::white);
    p.drawRect(body);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 50, 50));
    p.drawRect(QRectF(3, 5, 26, 6));
    // Binding rings.
    p.setBrush(QColor(90, 90, 90));
    p.drawRect(QRectF(9, 2, 2, 6));
    p.drawRect(QRectF(21, 2, 2, 6));
    // Days: four rows of five.
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 5; ++c) {
            p.setBrush(r == 2 && c == 3 ? QColor(200, 50, 50) : QColor(150, 150, 150));
            p.drawRect(QRectF(5.5 + c * 4.6, 13.5 + r * 3.8, 3, 2.4));
        }
    }
    return QIcon(pm);
}

} // namespace

QIcon toolbarIcon(const QString &key, const QStyle *style)
{
    struct Source {
        const char *key;
        const char *themeName;
        QStyle::StandardPixmap standard;
        QIcon (*drawn)();
    };
    static const Source sources[] = {
        {"tbrOpen", "document-open", QStyle::SP_DialogOpenButton, nullptr},
        {"tbrSave", "document-save", QStyle::SP_DialogSaveButton, nullptr},
        {"tbrAdd", "document-new", QStyle::SP_FileIcon, drawnAdd},
        {"tbrEdit", "document-edit", QStyle::SP_FileIcon, drawnEdit},
        {"tbrDel", "edit-delete", QStyle::SP_TrashIcon, nullptr},
        {"tbrDown", "go-down", QStyle::SP_ArrowDown, nullptr},
        {"tbrUp", "go-up", QStyle::SP_ArrowUp, nullptr},
        {"tbrFont", "preferences-desktop-font", QStyle::SP_FileIcon, drawnFont},
        {"tbrCal", "x-office-calendar", QStyle::SP_FileIcon, drawnCalendar},
    };
    for (const Source &s : sources) {
        if (key != QLatin1String(s.key))
            continue;
        const QIcon fallback = s.drawn ? s.drawn() : style->standardIcon(s.standard);
        return QIcon::fromTheme(QString::fromLatin1(s.themeName), fallback);
    }
    return style->standardIcon(QStyle::SP_FileIcon);
}

} // namespace skedra
