// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <optional>

namespace ravno {
namespace {

const char *const kCodePage = "windows-1251";

FileError writeError(const QString &shownName, const QString &reason)
{
    return {shownName, QStringLiteral("Не удалось записать файл %1: %2.").arg(shownName, reason)};
}

FileError readError(const QString &shownName, const QString &reason)
{
    return {shownName, QStringLiteral("Не удалось прочитать файл %1: %2.").arg(shownName, reason)};
}

// The system's own words follow ours, for the cases we cannot name ourselves
// (a full disk, a failing device).
QString systemReason(const QString &ours, const QString &system)
{
    return system.isEmpty() ? ours : QStringLiteral("%1 (%2)").arg(ours, system);
}

// What stands in the way of writing path, in words, or nothing. Checked
// before any byte goes out so that the common faults get a plain message.
std::optional<QString> obstacleToWriting(const QString &path)
{
    const QFileInfo info(path);
    const QDir folder = info.dir();
    if (!folder.exists())
        return QStringLiteral("нет папки %1").arg(folder.dirName());
    if (info.isDir())
        return QStringLiteral("на этом месте лежит папка");
    if (info.exists() && !info.isWritable())
        return QStringLiteral("файл защищён от записи");
    return std::nullopt;
}

// Lines end in CR LF on disk whatever the text box used. One pass: the
// texts reach a million lines.
QString withCrLf(const QString &text)
{
    QString out;
    out.reserve(text.size() + text.size() / 8);
    qsizetype start = 0;
    for (qsizetype lf = text.indexOf(u'\n'); lf >= 0; lf = text.indexOf(u'\n', start)) {
        out += QStringView(text).sliced(start, lf - start);
        if (lf == 0 || text.at(lf - 1) != u'\r')
            out += u'\r';
        out += u'\n';
        start = lf + 1;
    }
    out += QStringView(text).sliced(start);
    return out;
}

// Plain ASCII, the same in windows-1251, with every line end made CR LF,
// in one pass; nothing when the text holds any other character. Numbers
// files of a million lines are ASCII, and this is what keeps them quick.
std::optional<QByteArray> asciiForDisk(const QString &text)
{
    const qsizetype size = text.size();
    const char16_t *in = reinterpret_cast<const char16_t *>(text.constData());
    qsizetype bareLineFeeds = 0;
    char16_t any = 0;
    for (qsizetype i = 0; i < size; ++i) {
        any |= in[i];
        bareLineFeeds += in[i] == u'\n' && (i == 0 || in[i - 1] != u'\r');
    }
    if (any >= 0x80)
        return std::nullopt;
    QByteArray bytes(size + bareLineFeeds, Qt::Uninitialized);
    char *out = bytes.data();
    for (qsizetype i = 0; i < size; ++i) {
        if (in[i] == u'\n' && (i == 0 || in[i - 1] != u'\r'))
            *out++ = '\r';
        *out++ = char(in[i]);
    }
    return bytes;
}

// The encoded text, or the reason it cannot be stored: a character the code
// page lacks would come back as another one.
Result<QByteArray> encodeForDisk(const QString &text, const QString &shownName)
{
    if (std::optional<QByteArray> ascii = asciiForDisk(text))
        return *std::move(ascii);
    const QString missing = charactersOutsideCodePage(text);
    if (!missing.isEmpty())
        return writeError(shownName,
                          QStringLiteral("в тексте есть знаки, которых нет в кодировке "
                                         "windows-1251: «%1»").arg(missing));
    return encodeText(withCrLf(text));
}

} // namespace

QByteArray encodeText(const QString &text)
{
    QStringEncoder encoder(kCodePage);
    return encoder.encode(text);
}

QString decodeText(const QByteArray &bytes)
{
    QStringDecoder decoder(kCodePage);
    return decoder.decode(bytes);
}

QString charactersOutsideCodePage(const QString &text)
{
    QString missing;
    // The encoder converts only when its result is taken.
    QStringEncoder whole(kCodePage);
    const QByteArray all = whole.encode(text);
    if (!whole.hasError())
        return missing;
    // Rare: find the culprits one code point at a time.
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString one = text.mid(i, length);
        QStringEncoder encoder(kCodePage);
        const QByteArray bytes = encoder.encode(one);
        if (encoder.hasError() && !missing.contains(one))
            missing += one;
        i += length - 1;
    }
    return missing;
}

Status replaceFile(const QString &path, const QString &shownName, const QString &text)
{
    if (const auto obstacle = obstacleToWriting(path))
        return writeError(shownName, *obstacle);
    const Result<QByteArray> bytes = encodeForDisk(text, shownName);
    if (!bytes)
        return bytes.error();

    // QSaveFile writes beside the file and renames only on a whole success,
    // so the old content survives any failure below.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return writeError(shownName, systemReason(QStringLiteral("файл не открывается"),
                                                  file.errorString()));
    if (file.write(bytes.value()) != bytes.value().size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return writeError(shownName, systemReason(QStringLiteral("ошибка записи"), reason));
    }
    if (!file.commit())
        return writeError(shownName, systemReason(QStringLiteral("ошибка записи"),
                                                  file.errorString()));
    return success();
}

Status appendToFile(const QString &path, const QString &shownName, const QString &text)
{
    if (const auto obstacle = obstacleToWriting(path))
        return writeError(shownName, *obstacle);
    const Result<QByteArray> bytes = encodeForDisk(text, shownName);
    if (!bytes)
        return bytes.error();

    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return writeError(shownName, systemReason(QStringLiteral("файл не открывается"),
                                                  file.errorString()));
    // One write, pushed out at once, so the failure is seen here.
    if (file.write(bytes.value()) != bytes.value().size() || !file.flush())
        return writeError(shownName, systemReason(QStringLiteral("ошибка записи"),
                                                  file.errorString()));
    file.close();
    if (file.error() != QFileDevice::NoError)
        return writeError(shownName, systemReason(QStringLiteral("ошибка записи"),
                                                  file.errorString()));
    return success();
}

Result<QString> readWholeFile(const QString &path, const QString &shownName)
{
    const QFileInfo info(path);
    if (!info.dir().exists())
        return readError(shownName, QStringLiteral("нет папки %1").arg(info.dir().dirName()));
    if (info.isDir())
        return readError(shownName, QStringLiteral("на этом месте лежит папка"));
    if (!info.exists())
        return readError(shownName, QStringLiteral("такого файла нет"));

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return readError(shownName, systemReason(QStringLiteral("файл не открывается"),
                                                 file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return readError(shownName, systemReason(QStringLiteral("ошибка чтения"),
                                                 file.errorString()));
    return decodeText(bytes);
}

QStringList splitLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(u'\n', start);
        const qsizetype next = end < 0 ? text.size() : end + 1;
        if (end < 0)
            end = text.size();
        const qsizetype length = end > start && text.at(end - 1) == u'\r' && end < text.size()
                                     ? end - start - 1
                                     : end - start;
        lines.append(text.mid(start, length));
        start = next;
    }
    return lines;
}

} // namespace ravno
