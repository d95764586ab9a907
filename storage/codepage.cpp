// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/codepage.h"

#include "storage/textfile_p.h"

#include <QCryptographicHash>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>

namespace ravno {
namespace {

// Lines end in CR LF on disk whatever the text box used.
QString withCrLfText(QStringView text)
{
    QString out;
    out.reserve(text.size() + text.size() / 8);
    qsizetype start = 0;
    for (qsizetype lf = text.indexOf(u'\n'); lf >= 0; lf = text.indexOf(u'\n', start)) {
        out += text.sliced(start, lf - start);
        if (lf == 0 || text.at(lf - 1) != u'\r')
            out += u'\r';
        out += u'\n';
        start = lf + 1;
    }
    out += text.sliced(start);
    return out;
}

// Plain ASCII is the same in windows-1251; the number files of a million
// lines are ASCII, and this quick path is what keeps their writing fast.
bool isAscii(QStringView text)
{
    char16_t any = 0;
    for (const QChar c : text)
        any |= c.unicode();
    return any < 0x80;
}

// ASCII text as bytes, every line end made CR LF, in one pass.
QByteArray asciiWithCrLf(QStringView text)
{
    const qsizetype size = text.size();
    const char16_t *in = text.utf16();
    qsizetype bareLineFeeds = 0;
    for (qsizetype i = 0; i < size; ++i)
        bareLineFeeds += in[i] == u'\n' && (i == 0 || in[i - 1] != u'\r');
    QByteArray bytes(size + bareLineFeeds, Qt::Uninitialized);
    char *out = bytes.data();
    for (qsizetype i = 0; i < size; ++i) {
        if (in[i] == u'\n' && (i == 0 || in[i - 1] != u'\r'))
            *out++ = '\r';
        *out++ = char(in[i]);
    }
    return bytes;
}

} // namespace

// The encoded text goes out in slices cut after a line end, so a CR LF
// pair is never split.
bool putText(Sink &out, QStringView text, QCryptographicHash *digest)
{
    QStringEncoder encoder(kCodePage);
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = std::min(text.size(), start + kSlice);
        if (end < text.size()) {
            const qsizetype lf = text.indexOf(u'\n', end);
            end = lf < 0 ? text.size() : lf + 1;
        }
        const QStringView slice = text.sliced(start, end - start);
        const QByteArray bytes =
            isAscii(slice) ? asciiWithCrLf(slice) : encoder.encode(withCrLfText(slice));
        if (digest)
            digest->addData(bytes);
        if (!writeAll(out, bytes))
            return false;
        start = end;
    }
    return true;
}

QByteArray encodeWithCrLf(const QString &text)
{
    return encodeText(withCrLfText(text));
}

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
    if (isAscii(text))
        return missing;
    // Checked a slice at a time: the texts reach a million lines.
    bool clean = true;
    QStringEncoder whole(kCodePage);
    for (qsizetype start = 0; start < text.size() && clean; start += kSlice) {
        const QByteArray bytes = whole.encode(QStringView(text).sliced(start, std::min(kSlice, text.size() - start)));
        clean = !whole.hasError();
    }
    if (clean)
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

std::optional<FileError> refuseText(const QString &text, const QString &shownName)
{
    const QString missing = charactersOutsideCodePage(text);
    if (missing.isEmpty())
        return std::nullopt;
    FileError refused(Failure::NotEncodable, shownName, Access::Write);
    refused.characters = missing;
    return refused;
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
        // A CR that ends the text is a line end cut short, as the readers take it.
        const qsizetype length = end > start && text.at(end - 1) == u'\r' ? end - start - 1
                                                                           : end - start;
        lines.append(text.mid(start, length));
        start = next;
    }
    return lines;
}

} // namespace ravno
