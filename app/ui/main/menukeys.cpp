#include "menukeys.h"

#include "menutable.h"

#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>

#include <vector>

namespace skedra {

void SharedAccessKeys::watch(QMenu *menu)
{
    menu->installEventFilter(this);
}

bool SharedAccessKeys::eventFilter(QObject *watched, QEvent *event)
{
    auto *menu = qobject_cast<QMenu *>(watched);
    if (!menu || event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~(Qt::AltModifier | Qt::ShiftModifier);
    if (modifiers != Qt::NoModifier || key->text().size() != 1)
        return false;

    std::vector<QAction *> shown;
    std::vector<QString> captions;
    for (QAction *action : menu->actions()) {
        if (action->isVisible() && !action->isSeparator()) {
            shown.push_back(action);
            captions.push_back(action->text());
        }
    }
    const std::vector<int> sharing = itemsWithAccessKey(captions, key->text().at(0));
    if (sharing.size() < 2)
        return false;  // one item: the menu acts on it as usual

    // The next of the sharing items after the highlighted one, reached with
    // the arrow key, which highlights without opening a submenu.
    size_t next = 0;
    for (size_t i = 0; i < sharing.size(); ++i) {
        if (shown[size_t(sharing[i])] == menu->activeAction())
            next = (i + 1) % sharing.size();
    }
    QAction *target = shown[size_t(sharing[next])];
    for (qsizetype step = 0; step < menu->actions().size() && menu->activeAction() != target; ++step) {
        QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
        QCoreApplication::sendEvent(menu, &down);
    }
    return true;
}

} // namespace skedra
