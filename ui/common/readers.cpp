// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/common/readers.h"

#include <QAccessibleWidget>
#include <QComboBox>
#include <QLineEdit>
#include <QFocusFrame>
#include <QHash>
#include <QLabel>
#include <QMenu>
#include <QWidget>

namespace ravno {

namespace {

const char kResultProperty[] = "ravnoResultName";
const char kRowsProperty[] = "ravnoResultRows";
const char kHiddenProperty[] = "ravnoHiddenFromReaders";
const char kDialogProperty[] = "ravnoDialog";
const char kNamedBoxProperty[] = "ravnoNamedComboBox";

class NamedComboBox : public QAccessibleWidget
{
public:
    explicit NamedComboBox(QComboBox *box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

    QString text(QAccessible::Text kind) const override
    {
        const auto *box = static_cast<const QComboBox *>(widget());
        if (kind == QAccessible::Value)
            return box->currentText();
        return QAccessibleWidget::text(kind);
    }
    // The text field, as Qt's own combo box lists it; the drop-down list
    // is a window of its own.
    int childCount() const override { return lineEdit() ? 1 : 0; }
    QAccessibleInterface *child(int index) const override
    {
        return index == 0 && lineEdit() ? QAccessible::queryAccessibleInterface(lineEdit()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child && lineEdit() && child->object() == lineEdit() ? 0 : -1;
    }

private:
    QLineEdit *lineEdit() const { return static_cast<const QComboBox *>(widget())->lineEdit(); }
};

// The widgets read as documents, with their text.
QHash<const QObject *, std::function<QString()>> &documents()
{
    static QHash<const QObject *, std::function<QString()>> all;
    return all;
}

// Read-only text as a reader walks it, by character, word and line.
class TextReader : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    TextReader(QWidget *widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}

    virtual QString whole() const = 0;

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = true;
        return s;
    }

    void selection(int, int *start, int *end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int start, int end) const override { return whole().mid(start, end - start); }
    using QAccessibleWidget::text;
    int characterCount() const override { return int(whole().size()); }
    QRect characterRect(int) const override { return QRect(); }
    int offsetAtPoint(const QPoint &) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int *start, int *end) const override
    {
        *start = 0;
        *end = characterCount();
        return QString();
    }
};

class Document : public TextReader
{
public:
    explicit Document(QWidget *widget) : TextReader(widget, QAccessible::Document) {}
    QString whole() const override { return documents().value(object())(); }
};

// A matrix shown a row a line ("  1  2   |   3" in the preview, "1.000  2.000
// 3.000  " beneath the answers), each row read as "1 2 | 3".
QString matrixRows(const QString &shown)
{
    QStringList rows;
    for (const QString &line : shown.split(u'\n')) {
        QStringList values = line.simplified().split(u' ', Qt::SkipEmptyParts);
        if (values.size() >= 2 && !values.contains(QStringLiteral("|")))
            values.insert(values.size() - 1, QStringLiteral("|"));
        if (!values.isEmpty())
            rows << values.join(u' ');
    }
    return rows.join(u'\n');
}

class ResultLabel : public TextReader
{
public:
    explicit ResultLabel(QLabel *label) : TextReader(label, QAccessible::StaticText) {}

    QString whole() const override
    {
        const auto *label = static_cast<const QLabel *>(widget());
        const QString what = label->property(kResultProperty).toString();
        const bool rows = label->property(kRowsProperty).toBool();
        const QString shown = rows ? matrixRows(label->text()) : label->text().simplified();
        if (shown.isEmpty())
            return what;
        return QStringLiteral("%1:%2%3").arg(what, rows ? QStringLiteral("\n") : QStringLiteral(" "), shown);
    }
    QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Name ? whole() : QAccessibleWidget::text(kind);
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
    if (documents().contains(widget))
        return new Document(widget);
    if (widget->isWindow() && widget->property(kDialogProperty).toBool())
        return new QAccessibleWidget(widget, QAccessible::Dialog);
    if (auto *box = qobject_cast<QComboBox *>(widget); box && box->property(kNamedBoxProperty).toBool())
        return new NamedComboBox(box);
    // A window's client area, whose decoration may come after a focus
    // change has asked for the area's interface.
    if (widget->objectName() == QLatin1String("client"))
        return new Parent(widget);
    for (QObject *child : widget->children())
        if (child->property(kHiddenProperty).toBool())
            return new Parent(widget);
    return nullptr;
}

// Qt makes a widget's interface at the first change a reader might be told
// of, often while the widget is being built, and keeps it: an interface
// made before the widget was marked is dropped, for the next to be ours.
void forgetInterface(QWidget *widget)
{
    if (QAccessibleInterface *made = QAccessible::queryAccessibleInterface(widget))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
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

void nameMatrix(QLabel *label, const QString &what)
{
    nameResult(label, what);
    label->setProperty(kRowsProperty, true);
}

void readAsDocument(QWidget *widget, std::function<QString()> text)
{
    installFactory();
    documents().insert(widget, std::move(text));
    QObject::connect(widget, &QObject::destroyed, [widget] { documents().remove(widget); });
}

void hideFromReaders(QWidget *widget)
{
    installFactory();
    widget->setProperty(kHiddenProperty, true);
}

void announceAsDialog(QWidget *window)
{
    installFactory();
    window->setProperty(kDialogProperty, true);
    forgetInterface(window);
}

void nameComboBox(QComboBox *box, const QString &name)
{
    installFactory();
    box->setProperty(kNamedBoxProperty, true);
    forgetInterface(box);
    box->setAccessibleName(name);
    if (box->lineEdit())
        box->lineEdit()->setAccessibleName(name);
}

} // namespace ravno
