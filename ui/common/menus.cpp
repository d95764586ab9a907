// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/common/menus.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QSet>
#include <QTextEdit>

namespace ravno {

namespace {

// Alt with a letter that is no mnemonic reaches the focused control as a
// key with text; a text box would type the letter. Alt with Ctrl is AltGr
// on some systems and types on.
class AltLettersFilter : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        const Qt::KeyboardModifiers mods = key->modifiers();
        if (!mods.testFlag(Qt::AltModifier) || mods.testFlag(Qt::ControlModifier) || key->text().isEmpty()
            || !key->text().at(0).isPrint())
            return false;
        return qobject_cast<QLineEdit *>(watched) || qobject_cast<QPlainTextEdit *>(watched)
               || qobject_cast<QTextEdit *>(watched) || qobject_cast<QComboBox *>(watched)
               || qobject_cast<QAbstractSpinBox *>(watched);
    }
};

void keepAltLettersOutOfText()
{
    static QObject *filter = nullptr;
    if (filter || !qApp)
        return;
    filter = new AltLettersFilter(qApp);
    qApp->installEventFilter(filter);
}

} // namespace

QString withMnemonic(const QString &caption, QSet<QChar> &used)
{
    // The first letter of a word that no earlier caption of the menu took,
    // else any free letter.
    const auto take = [&](qsizetype at) {
        used.insert(caption.at(at).toLower());
        return QString(caption).insert(at, u'&');
    };
    for (qsizetype i = 0; i < caption.size(); ++i) {
        const bool wordStart = i == 0 || !caption.at(i - 1).isLetter();
        if (wordStart && caption.at(i).isLetter() && !used.contains(caption.at(i).toLower()))
            return take(i);
    }
    for (qsizetype i = 0; i < caption.size(); ++i)
        if (caption.at(i).isLetter() && !used.contains(caption.at(i).toLower()))
            return take(i);
    return caption;
}

void buildMenuBar(QMenuBar *bar, std::initializer_list<Menu> menus)
{
    keepAltLettersOutOfText();
    QSet<QChar> titleKeys;
    for (const Menu &entry : menus) {
        QMenu *menu = bar->addMenu(withMnemonic(QString::fromUtf8(entry.caption), titleKeys));
        menu->setObjectName(QString::fromUtf8(entry.name));
        menu->menuAction()->setObjectName(QString::fromUtf8(entry.name));
        QSet<QChar> itemKeys;
        for (const MenuItem &item : entry.items) {
            if (!item.name) {
                menu->addSeparator();
                continue;
            }
            QAction *action = menu->addAction(withMnemonic(QString::fromUtf8(item.caption), itemKeys));
            action->setObjectName(QString::fromUtf8(item.name));
            action->setCheckable(item.checkable);
            action->setChecked(item.checked);
            action->setEnabled(item.enabled);
            if (item.keep)
                *item.keep = action;
        }
    }
    // F10 opens the first menu, as on the desktops; the arrows go on from there.
    auto *f10 = new QShortcut(QKeySequence(Qt::Key_F10), bar->window());
    QObject::connect(f10, &QShortcut::activated, bar, [bar] {
        if (!bar->actions().isEmpty())
            bar->setActiveAction(bar->actions().constFirst());
    });
}

} // namespace ravno

#include "menus.moc"
