// SPDX-License-Identifier: GPL-3.0-or-later
// How the file formats report a failure: as a value that names the file and
// says what went wrong in Russian. The windows show the text in a message
// box; nothing here ever ends the program.
#pragma once

#include <QString>

#include <utility>

namespace ravno {

struct FileError
{
    QString path;    // as the user knows it, e.g. "files/LostMas"
    QString message; // a whole Russian sentence naming the file
};

// Either a value or a FileError.
template<typename T>
class Result
{
public:
    Result(T value) : m_ok(true), m_value(std::move(value)) {}
    Result(FileError error) : m_ok(false), m_error(std::move(error)) {}

    bool ok() const { return m_ok; }
    explicit operator bool() const { return m_ok; }
    const T &value() const { return m_value; }
    T &value() { return m_value; }
    const FileError &error() const { return m_error; }

private:
    bool m_ok;
    T m_value{};
    FileError m_error;
};

struct Done
{
};
using Status = Result<Done>;

inline Status success()
{
    return Status(Done{});
}

} // namespace ravno
