// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/common/controltable.h"

#include <cstring>

namespace ravno {

void placeControl(QWidget *control, const ControlRow &row)
{
    control->setObjectName(QLatin1String(row.name));
    const Place &place = row.place;
    control->setGeometry(twipsRect(control->window(), place.left, place.top, place.width, place.height));
    if (*row.toolTip)
        control->setToolTip(QString::fromUtf8(row.toolTip));
}

const ControlRow &ControlTable::row(const char *name) const
{
    for (const ControlRow &row : m_rows)
        if (std::strcmp(row.name, name) == 0)
            return row;
    qFatal("No control %s in the window's table", name);
}

} // namespace ravno
