// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/common/readers.h"

#include <QAccessibleWidget>
#include <QFocusFrame>
#include <QLabel>
#include <QMenu>
#include <QWidget>

namespace ravno {

namespace {

const char kResultProperty[] = "ravnoResultName";
const char kHiddenProperty[] = "ravnoHiddenFromReaders";

class ResultLabel : public QAccessibleWidget
{
public:
    explicit ResultLabel(QLabel *label) : QAccessibleWidget(label, QAccessible::StaticText) {}

    QString text(QAccessible::Text kind) const override
    {
        if (kind != QAccessible::Name)
            return QAccessibleWidget::text(kind);
        const auto *label = static_cast<const QLabel *>(widget());
        const QString what = label->property(kResultProperty).toString();
        const QString shown = label->text().simplified();
        return shown.isEmpty() ? what : QStringLiteral("%1: %2").arg(what, shown);
    }
    // The copy frame inside the label is a decoration.
    int childCount() const override { return 0; }
    QAccessibleInterface *child(int) const override { return nullptr; }
};

// A widget whose children may include some left out of the tree.
class Parent : public QAccessibleWidget
{
public:
    explicit Parent(QWidget *widget) : QAccessibleWidget(widget, QAccessible::Client) {}

    int childCount() const override { return int(children().size()); }
    QAccessibleInterface *child(int index) const override
    {
        const QList<QWidget *> shown = children();
        return index >= 0 && index < shown.size() ? QAccessible::queryAccessibleInterface(shown.at(index))
                                                  : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child ? int(children().indexOf(qobject_cast<QWidget *>(child->object()))) : -1;
    }

private:
    // As Qt's own widgets list them, without the hidden ones.
    QList<QWidget *> children() const
    {
        QList<QWidget *> shown;
        for (QObject *object : widget()->children()) {
            auto *child = qobject_cast<QWidget *>(object);
            if (child && !child->isWindow() && !qobject_cast<QFocusFrame *>(child) && !qobject_cast<QMenu *>(child)
                && !child->property(kHiddenProperty).toBool())
                shown << child;
        }
        return shown;
    }
};

QAccessibleInterface *readersFactory(const QString &, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    if (!widget)
        return nullptr;
    if (auto *label = qobject_cast<QLabel *>(widget); label && label->property(kResultProperty).isValid())
        return new ResultLabel(label);
    // A window's client area, whose decoration may come after a focus
    // change has asked for the area's interface.
    if (widget->objectName() == QLatin1String("client"))
        return new Parent(widget);
    for (QObject *child : widget->children())
        if (child->property(kHiddenProperty).toBool())
            return new Parent(widget);
    return nullptr;
}

void installFactory()
{
    static bool installed = false;
    if (!installed)
        QAccessible::installFactory(readersFactory);
    installed = true;
}

} // namespace

void nameResult(QLabel *label, const QString &what)
{
    installFactory();
    label->setProperty(kResultProperty, what);
}

void hideFromReaders(QWidget *widget)
{
    installFactory();
    widget->setProperty(kHiddenProperty, true);
}

} // namespace ravno
