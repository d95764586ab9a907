// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/common/menus.h"

#include "ui/common/latinkeys.h"

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

#include <algorithm>

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

QStringList withMnemonics(const QStringList &captions)
{
    // Never a letter of a preposition or a conjunction within a caption, so
    // that «Сохранить в последний массив» leaves «В» to «Выход»; a caption's
    // first word may be one, as «О программе» is on every desktop.
    static const QSet<QString> kServiceWords{
        QStringLiteral("в"),   QStringLiteral("во"),  QStringLiteral("на"),  QStringLiteral("из"),
        QStringLiteral("с"),   QStringLiteral("со"),  QStringLiteral("к"),   QStringLiteral("ко"),
        QStringLiteral("о"),   QStringLiteral("об"),  QStringLiteral("от"),  QStringLiteral("по"),
        QStringLiteral("до"),  QStringLiteral("за"),  QStringLiteral("для"), QStringLiteral("без"),
        QStringLiteral("у"),   QStringLiteral("и"),   QStringLiteral("а"),   QStringLiteral("но"),
        QStringLiteral("или"), QStringLiteral("да"),  QStringLiteral("не")};
    struct Word
    {
        qsizetype start, length;
    };
    QList<QList<Word>> words; // of each caption, those that may take a letter
    for (const QString &caption : captions) {
        QList<Word> own;
        for (qsizetype i = 0; i < caption.size();) {
            qsizetype end = i;
            while (end < caption.size() && caption.at(end).isLetter())
                ++end;
            if (end > i && (i == 0 || !kServiceWords.contains(caption.mid(i, end - i).toLower())))
                own.append({i, end - i});
            i = std::max(end, i + 1);
        }
        words.append(own);
    }

    // The caption's first word first, for every caption in turn, so that a
    // later caption keeps its own initial («Выход») rather than lose it to
    // a second word of an earlier one; then the other words' first letters;
    // then any letter of them.
    QStringList marked = captions;
    QList<bool> done(captions.size(), false);
    QSet<QChar> used;
    const auto offer = [&](qsizetype c, qsizetype at) {
        const QChar letter = captions[c].at(at).toLower();
        if (done[c] || used.contains(letter))
            return;
        used.insert(letter);
        marked[c].insert(at, u'&');
        done[c] = true;
    };
    for (qsizetype c = 0; c < captions.size(); ++c)
        if (!words[c].isEmpty() && words[c].constFirst().start == 0)
            offer(c, 0);
    for (qsizetype c = 0; c < captions.size(); ++c)
        for (const Word &word : words[c])
            offer(c, word.start);
    for (qsizetype c = 0; c < captions.size(); ++c)
        for (const Word &word : words[c])
            for (qsizetype i = word.start; i < word.start + word.length; ++i)
                offer(c, i);
    return marked;
}

void buildMenuBar(QMenuBar *bar, std::initializer_list<Menu> menus)
{
    keepAltLettersOutOfText();
    matchMenuLettersByKey();
    QStringList titles;
    for (const Menu &entry : menus)
        titles << QString::fromUtf8(entry.caption);
    titles = withMnemonics(titles);
    for (const Menu &entry : menus) {
        QMenu *menu = bar->addMenu(titles.takeFirst());
        menu->setObjectName(QString::fromUtf8(entry.name));
        menu->menuAction()->setObjectName(QString::fromUtf8(entry.name));
        QStringList captions;
        for (const MenuItem &item : entry.items)
            if (item.name)
                captions << QString::fromUtf8(item.caption);
        captions = withMnemonics(captions);
        for (const MenuItem &item : entry.items) {
            if (!item.name) {
                menu->addSeparator();
                continue;
            }
            QAction *action = menu->addAction(captions.takeFirst());
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
