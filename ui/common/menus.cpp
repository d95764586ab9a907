// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/common/menus.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace ravno {

QHash<QString, QAction *> buildMenuBar(QMenuBar *bar, std::initializer_list<Menu> menus)
{
    QHash<QString, QAction *> actions;
    for (const Menu &entry : menus) {
        QMenu *menu = bar->addMenu(QString::fromUtf8(entry.caption));
        menu->setObjectName(QString::fromUtf8(entry.name));
        menu->menuAction()->setObjectName(QString::fromUtf8(entry.name));
        for (const MenuItem &item : entry.items) {
            if (!item.name) {
                menu->addSeparator();
                continue;
            }
            QAction *action = menu->addAction(QString::fromUtf8(item.caption));
            action->setObjectName(QString::fromUtf8(item.name));
            action->setCheckable(item.checkable);
            action->setChecked(item.checked);
            action->setEnabled(item.enabled);
            actions.insert(action->objectName(), action);
        }
    }
    return actions;
}

} // namespace ravno
