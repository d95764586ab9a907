// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/common/latinkeys.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace ravno {

namespace {

// The Latin layout (QWERTY) and the standard Russian one (ЙЦУКЕН), key by key.
constexpr char16_t kLatin[] = u"qwertyuiop[]asdfghjkl;'zxcvbnm,.`";
constexpr char16_t kRussian[] = u"йцукенгшщзхъфывапролджэячсмитьбюё";
static_assert(std::size(kLatin) == std::size(kRussian));

bool hasMnemonic(const QList<QAction *> &actions, QChar letter, bool withAlt)
{
    const QKeySequence wanted(QKeyCombination(withAlt ? Qt::AltModifier : Qt::NoModifier,
                                              Qt::Key(letter.toUpper().unicode())));
    for (const QAction *action : actions) {
        const QKeySequence own = QKeySequence::mnemonic(action->text());
        if (!own.isEmpty() && own[0].key() == wanted[0].key())
            return true;
    }
    return false;
}

QAction *titleWithMnemonic(const QMenuBar *bar, QChar letter)
{
    for (QAction *action : bar->actions()) {
        const QKeySequence own = QKeySequence::mnemonic(action->text());
        if (action->isVisible() && action->isEnabled() && !own.isEmpty()
            && own[0].key() == Qt::Key(letter.toUpper().unicode()))
            return action;
    }
    return nullptr;
}

class KeyLettersFilter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
        if (mods.testFlag(Qt::ControlModifier) || mods.testFlag(Qt::MetaModifier))
            return false;
        const QChar latin = key->text().size() == 1 ? key->text().at(0).toLower()
                            : key->key() < 0x80   ? QChar(key->key()).toLower()
                                                  : QChar();
        const QChar russian = russianOnKey(latin);
        if (russian.isNull())
            return false;
        auto *widget = static_cast<QWidget *>(watched);

        // An open menu or a menu bar the keyboard is in: the key as its
        // Russian letter, unless an item has the Latin one.
        if (qobject_cast<QMenu *>(widget) || qobject_cast<QMenuBar *>(widget)) {
            if (hasMnemonic(widget->actions(), latin, false))
                return false;
            const QString text = key->text().isUpper() ? QString(russian.toUpper()) : QString(russian);
            QKeyEvent translated(QEvent::KeyPress, russian.toUpper().unicode(), key->modifiers(), text);
            QCoreApplication::sendEvent(widget, &translated);
            return true;
        }

        // Alt with the key of a menu's letter: no shortcut matched it, as
        // the letter is Russian and the layout Latin.
        if (!mods.testFlag(Qt::AltModifier))
            return false;
        auto *window = qobject_cast<QMainWindow *>(widget->window());
        QMenuBar *bar = window ? window->findChild<QMenuBar *>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
        QAction *title = bar ? titleWithMnemonic(bar, russian) : nullptr;
        if (!title)
            return false;
        bar->setActiveAction(title);
        return true;
    }
};

} // namespace

QChar russianOnKey(QChar latin)
{
    for (std::size_t i = 0; i + 1 < std::size(kLatin); ++i)
        if (kLatin[i] == latin.unicode())
            return QChar(kRussian[i]);
    return QChar();
}

void matchMenuLettersByKey()
{
    static QObject *filter = nullptr;
    if (filter || !qApp)
        return;
    filter = new KeyLettersFilter(qApp);
    qApp->installEventFilter(filter);
}

} // namespace ravno
