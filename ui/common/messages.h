// SPDX-License-Identifier: GPL-3.0-or-later
// Modal message boxes go through this one interface, so that tests answer
// them instead of a person. The program uses BoxMessages; tests substitute
// their own recorder.
#pragma once

#include "storage/fileresult.h"
#include "ui/extras/helplauncher.h"

#include <QMessageBox>
#include <QString>

#include <memory>
#include <optional>

class QWidget;

namespace ravno {

class Messages
{
public:
    enum class Reply { Ok, Cancel };

    virtual ~Messages() = default;
    // A box with an OK button.
    virtual void inform(QWidget *parent, const QString &title, const QString &text) = 0;
    // A box with OK and Cancel buttons.
    virtual Reply confirm(QWidget *parent, const QString &title, const QString &text) = 0;

    // A box under the title "Ошибка".
    void error(QWidget *parent, const QString &text);
    // A failure, under that title, in the words of failureText().
    void showFailure(QWidget *parent, const FileError &error);
    void showFailure(QWidget *parent, const NameRefusal &refusal);
    void showFailure(QWidget *parent, const HelpFault &fault);

    // Shows the failure, if any, and says whether there was one: a window's
    // command goes on only when nothing failed.
    template<typename T, typename E>
    bool failed(QWidget *parent, const Result<T, E> &result)
    {
        if (!result)
            showFailure(parent, result.error());
        return !result;
    }
    template<typename E>
    bool failed(QWidget *parent, const std::optional<E> &refusal)
    {
        if (refusal)
            showFailure(parent, *refusal);
        return refusal.has_value();
    }
};

// The program's plain box: no icon, the title and the text, Russian words on
// the buttons, and wide enough that the window's title bar shows the title.
std::unique_ptr<QMessageBox> messageBox(QWidget *parent, const QString &title, const QString &text,
                                        QMessageBox::StandardButtons buttons);

class BoxMessages : public Messages
{
public:
    void inform(QWidget *parent, const QString &title, const QString &text) override;
    Reply confirm(QWidget *parent, const QString &title, const QString &text) override;
};

} // namespace ravno
