// Icons of the toolbar buttons: the desktop theme's icon when there is one,
// otherwise a style icon or one drawn here.
#pragma once

#include <QIcon>
#include <QString>

class QStyle;

namespace skedra {

// The icon of toolbar button `key` ("tbrOpen" ... "tbrCal"); a plain file
// icon for an unknown key.
QIcon toolbarIcon(const QString &key, const QStyle *style);

} // namespace skedra
