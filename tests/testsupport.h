// SPDX-License-Identifier: GPL-3.0-or-later
// Shared by the tests: a message recorder that answers boxes instead of a
// person, and a working folder of its own for each test.
#pragma once

#include "storage/datafolder.h"
#include "ui/common/context.h"
#include "ui/common/failuretext.h"
#include "ui/common/messages.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QList>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <memory>

#include <sys/resource.h>

namespace ravno::test {

class RecordingMessages : public Messages
{
public:
    struct Box
    {
        QString title;
        QString text;
        bool question = false;
    };

    void inform(QWidget *, const QString &title, const QString &text) override
    {
        boxes.append({title, text, false});
    }
    Reply confirm(QWidget *, const QString &title, const QString &text) override
    {
        boxes.append({title, text, true});
        return nextReply;
    }

    QList<Box> boxes;
    Reply nextReply = Reply::Ok;
};

// A temporary working folder with (or without) an empty files/ below it, a
// context whose windows keep their data there, and raw byte access to the
// files, so that tests compare what lies on disk and not what the readers
// make of it.
class Sandbox
{
public:
    explicit Sandbox(bool withFilesFolder = true, const QLocale &locale = QLocale::c())
    {
        QVERIFY(m_dir.isValid());
        if (withFilesFolder)
            QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("files")));
        context = std::make_unique<AppContext>(folder(), messages, locale);
    }

    // A lock another copy holds fails at once: no test waits for it.
    DataFolder folder() const { return DataFolder(QDir(m_dir.path()), 0); }
    QString workingPath() const { return m_dir.path(); }
    QString path(const QString &name) const { return folder().pathOf(name); }

    // The bytes of files/<name>, or "<missing>".
    QByteArray read(const QString &name) const
    {
        QFile file(path(name));
        if (!file.open(QIODevice::ReadOnly))
            return QByteArray("<missing>");
        return file.readAll();
    }

    bool write(const QString &name, const QByteArray &bytes) const
    {
        QFile file(path(name));
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }

    bool exists(const QString &name) const { return QFile::exists(path(name)); }

    void removeFolder() const { QVERIFY(QDir(path(QString())).removeRecursively()); }

    RecordingMessages messages;
    std::unique_ptr<AppContext> context;

private:
    QTemporaryDir m_dir;
};

// The matrix row by row, right-hand sides included.
inline QList<double> matrixValues(const Workspace &ws)
{
    QList<double> values;
    for (int i = 0; i < ws.rowCount(); ++i)
        for (int j = 0; j < ws.columnCount(); ++j)
            values << ws.at(i, j);
    return values;
}

template<typename T>
T *child(QWidget *window, const char *name)
{
    return window->findChild<T *>(QLatin1String(name));
}

// Clicks a control as a person does: on its shown window, at the control's
// place (its centre unless told), so that whatever lies over that point
// takes the click.
inline void press(QWidget *control, QPoint at = QPoint(-1, -1))
{
    QVERIFY(control);
    QWidget *window = control->window();
    QVERIFY2(window->isVisible(), qPrintable(control->objectName()));
    QVERIFY(QTest::qWaitForWindowExposed(window));
    if (at.x() < 0)
        at = control->rect().center();
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, control->mapTo(window, at));
}

// Chooses item `item` (0 is «Справка») of the main window's «Помощь» by
// keyboard alone: Alt opens the menu bar, Right three times reaches
// «Помощь», Down opens it.
inline void chooseHelpItem(QWidget *main, int item)
{
    QTest::keyClick(main->windowHandle(), Qt::Key_Alt);
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(main->windowHandle(), Qt::Key_Right);
    QTest::keyClick(main->windowHandle(), Qt::Key_Down);
    QTRY_VERIFY(QApplication::activePopupWidget());
    for (int i = 0; i < item; ++i)
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Down);
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Return);
}

// The file-size limit (ulimit -f) lowered to bytes while it lives: writes
// past it fail with EFBIG once the test has called prepareProcess(), as the
// program does.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_before);
        const rlimit lowered = {bytes, m_before.rlim_max};
        m_set = ::setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &m_before); }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;
    bool set() const { return m_set; }

private:
    rlimit m_before = {};
    bool m_set = false;
};

} // namespace ravno::test
