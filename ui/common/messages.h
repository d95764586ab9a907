// SPDX-License-Identifier: GPL-3.0-or-later
// Modal message boxes go through this one interface, so that tests answer
// them instead of a person. The program uses BoxMessages; tests substitute
// their own recorder.
#pragma once

#include <QString>

class QWidget;

namespace ravno {

struct FileError;

class Messages
{
public:
    enum class Reply { Ok, Cancel };

    virtual ~Messages() = default;
    // A box with an OK button.
    virtual void inform(QWidget *parent, const QString &title, const QString &text) = 0;
    // A box with OK and Cancel buttons.
    virtual Reply confirm(QWidget *parent, const QString &title, const QString &text) = 0;

    // A failed file operation, under the title "Ошибка".
    void fileError(QWidget *parent, const FileError &error);
};

class BoxMessages : public Messages
{
public:
    void inform(QWidget *parent, const QString &title, const QString &text) override;
    Reply confirm(QWidget *parent, const QString &title, const QString &text) override;
};

} // namespace ravno
