// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/common/failuretext.h"

#include "core/order.h"
#include "storage/filelock.h"

#include <QLocale>

namespace ravno {
namespace {

// Why a file could not be read or written, in the words that follow the
// file's name.
QString fileReason(const FileError &error)
{
    switch (error.kind) {
    case Failure::NoFolder: return QStringLiteral("нет папки %1").arg(error.folder);
    case Failure::IsFolder: return QStringLiteral("на этом месте лежит папка");
    case Failure::NotRegular: return QStringLiteral("это не обычный файл");
    case Failure::LinkOutside:
        return QStringLiteral("это ссылка за пределы папки %1").arg(error.folder);
    case Failure::NoAccess: return QStringLiteral("нет доступа");
    case Failure::ReadOnly: return QStringLiteral("файл защищён от записи");
    case Failure::Missing: return QStringLiteral("такого файла нет");
    case Failure::NameTooLong:
        return QStringLiteral("имя слишком длинное для файловой системы: его длина в байтах %1, "
                              "а можно не больше %2").arg(QString::number(error.size), QString::number(error.limit));
    case Failure::NotEncodable:
        return QStringLiteral("в тексте есть знаки, которых нет в кодировке windows-1251: «%1»")
            .arg(error.characters);
    case Failure::NotOpened: return QStringLiteral("файл не открывается");
    case Failure::ReadFailed: return QStringLiteral("ошибка чтения");
    case Failure::NoSpace: return QStringLiteral("на диске нет места");
    case Failure::TooLarge: return QStringLiteral("файл превысил допустимый размер");
    case Failure::QuotaExceeded: return QStringLiteral("исчерпана дисковая квота");
    case Failure::DeviceFailed: return QStringLiteral("ошибка ввода-вывода");
    case Failure::FolderReadOnly:
        return QStringLiteral("папка %1 защищена от записи, а файл переписывается только через "
                              "новый файл рядом с ним. Файл не изменён")
            .arg(error.folder);
    case Failure::SharedInReadOnlyFolder:
        return QStringLiteral("у файла есть второе имя (жёсткая ссылка), а отдельную копию для "
                              "него в папке %1, защищённой от записи, не создать. Оба имени "
                              "сохранили прежнее содержимое")
            .arg(error.folder);
    case Failure::LineTooLong:
        return QStringLiteral("в нём есть строка длиннее %1 байт; таких строк программа не "
                              "пишет. Ничего не изменено")
            .arg(QString::number(error.limit));
    case Failure::LogRewritten:
        return QStringLiteral("его переписала другая копия программы, пока он был показан "
                              "здесь. Ничего не изменено; покажите ответы заново");
    case Failure::CatalogueRewritten:
        return QStringLiteral("его переписала другая копия программы или команда «Создать "
                              "SaveList», пока список был открыт здесь. Ничего не изменено; "
                              "откройте список заново");
    default: return QStringLiteral("ошибка записи");
    }
}

const QLocale &russian()
{
    static const QLocale locale(QLocale::Russian, QLocale::Russia);
    return locale;
}

// A count as the documents write it: "10 000".
QString count(qint64 number)
{
    return russian().toString(number);
}

// Bytes as a person reads a file's size: "512 Б", "50,0 КБ", "2,0 МБ".
QString fileSize(qint64 bytes)
{
    if (bytes < 1024)
        return QStringLiteral("%1 Б").arg(russian().toString(bytes));
    const bool kilo = bytes < (qint64(1) << 20);
    return QStringLiteral("%1 %2").arg(russian().toString(double(bytes) / (kilo ? 1024 : 1 << 20), 'f', 1),
                                       kilo ? QStringLiteral("КБ") : QStringLiteral("МБ"));
}

// Two sizes that differ read differently: in bytes where the short forms
// would be the same.
std::pair<QString, QString> twoSizes(qint64 a, qint64 b)
{
    if (a != b && fileSize(a) == fileSize(b))
        return {QStringLiteral("%1 Б").arg(russian().toString(a)),
                QStringLiteral("%1 Б").arg(russian().toString(b))};
    return {fileSize(a), fileSize(b)};
}

QString fileSentence(const FileError &error)
{
    QString reason = fileReason(error);
    if (!error.system.isEmpty())
        reason += QStringLiteral(" (%1)").arg(error.system);
    if (error.leftover == Leftover::OldContent)
        reason += QStringLiteral("; прежнее содержимое вернуть не удалось");
    else if (error.leftover == Leftover::PartLine)
        reason += QStringLiteral("; недописанную строку убрать не удалось");
    return (error.access == Access::Read ? QStringLiteral("Не удалось прочитать файл %1: %2.")
                                         : QStringLiteral("Не удалось записать файл %1: %2."))
        .arg(error.path, reason);
}

// Why a name cannot go into the catalogue: the list would not give it back.
QString listReason(const NameRefusal &refusal)
{
    switch (refusal.reason) {
    case NameReason::UnseenInList: return QStringLiteral("в списках оно не было бы видно.");
    case NameReason::EmptyInList:
        return QStringLiteral("при правке списка оно стало бы пустой строкой.");
    default: break;
    }
    QStringList items;
    for (const QString &item : refusal.listed)
        items.append(QStringLiteral("«%1»").arg(item));
    return QStringLiteral("при правке списка оно вернулось бы как %1.")
        .arg(items.join(QStringLiteral(" и ")));
}

// Text from a file or typed by a person as a message quotes it: control
// characters as visible escapes, and no more than 60 characters.
QString visible(const QString &text)
{
    constexpr qsizetype kMostQuoted = 60;
    QString out;
    for (const QChar c : text) {
        if (out.size() >= kMostQuoted) {
            out += u'…';
            break;
        }
        if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c == u'\r')
            out += QStringLiteral("\\r");
        else if (c == u'\t')
            out += QStringLiteral("\\t");
        else if (c.category() == QChar::Other_Control)
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

QString nameSentence(const NameRefusal &refusal)
{
    const QString named = QStringLiteral("Имя массива «%1» не годится: ").arg(refusal.name);
    switch (refusal.reason) {
    case NameReason::Empty: return QStringLiteral("Имя массива не задано.");
    case NameReason::WithSeparator:
        return named + QStringLiteral("в нём не может быть знаков «/» или «\\».");
    case NameReason::OfFolder: return named + QStringLiteral("так называются папки.");
    case NameReason::OfOwnFile:
        return named + QStringLiteral("так называется файл самой программы.");
    case NameReason::WithControl:
        return QStringLiteral("Имя массива не годится: в нём есть перевод строки или другой "
                              "управляющий знак.");
    case NameReason::OutsideCodePage:
        return named + QStringLiteral("знаков «%1» нет в кодировке windows-1251, и список "
                                      "SaveList не смог бы его сохранить.")
                           .arg(refusal.characters);
    case NameReason::UnseenInList:
    case NameReason::EmptyInList:
    case NameReason::ChangedInList:
        break;
    }
    return QStringLiteral("Имя «%1» нельзя добавить в список SaveList: ").arg(refusal.name)
           + listReason(refusal)
           + QStringLiteral(" Уберите пробелы в начале и в конце имени, запятые и кавычку в "
                            "начале или снимите отметку «Добавить в список».");
}

QString sentence(const FileError &error)
{
    switch (error.kind) {
    case Failure::LockBusy:
        return QStringLiteral("Файл %1 сейчас меняет другая копия программы (файл блокировки "
                              "%2). Ничего не изменено; попробуйте ещё раз.")
            .arg(error.path, lockFileName(error.path));
    case Failure::LockBlocked:
        return QStringLiteral("Файл %1 не изменён: на месте его файла блокировки %2 лежит папка, "
                              "ссылка или другой необычный файл, и ни одна копия программы не "
                              "может его занять. Уберите %2.")
            .arg(error.path, lockFileName(error.path));
    case Failure::OrderOutOfRange:
        return QStringLiteral("Массив из файла %1 не загружен: первая строка должна задавать "
                              "порядок числом от %2 до %3, а в ней «%4».")
            .arg(error.path, QString::number(kLowestPosition), QString::number(kHighestPosition),
                 error.firstItem);
    case Failure::TooManyValues:
        return QStringLiteral("Массив из файла %1 не загружен: в нём больше %2 чисел (файл %3). "
                              "Редактор не изменён.")
            .arg(error.path, count(error.limit), fileSize(error.size));
    case Failure::TooLargeToShow: {
        const auto [size, most] = twoSizes(error.size, error.limit);
        return QStringLiteral("Файл %1 слишком велик, чтобы показать его здесь: %2, а можно не "
                              "больше %3. Файл не изменён.")
            .arg(error.path, size, most);
    }
    case Failure::NameRefused: return nameSentence(error.refusal);
    default: return fileSentence(error);
    }
}

NameRefusal shownRefusal(NameRefusal refusal)
{
    refusal.name = visible(refusal.name);
    refusal.characters = visible(refusal.characters);
    for (QString &item : refusal.listed)
        item = visible(item);
    return refusal;
}

} // namespace

QString failureText(const FileError &error)
{
    FileError shown = error;
    shown.path = visible(error.path);
    shown.folder = visible(error.folder);
    shown.characters = visible(error.characters);
    shown.firstItem = visible(error.firstItem);
    shown.refusal = shownRefusal(error.refusal);
    return sentence(shown);
}

QString failureText(const NameRefusal &refusal)
{
    return nameSentence(shownRefusal(refusal));
}

QString failureText(const HelpFault &fault)
{
    const QString file = visible(fault.file);
    switch (fault.kind) {
    case HelpFailure::PageMissing:
        return QStringLiteral("Не удалось открыть справку: нет файла %1.").arg(file);
    case HelpFailure::NotStarted:
        return QStringLiteral("Не удалось открыть справку: не запускается %1.").arg(file);
    case HelpFailure::BrowserFailed: break;
    }
    return QStringLiteral("Не удалось открыть страницу справки %1: браузер не запустился.").arg(file);
}

QString listCutText(const QString &path, qsizetype shown)
{
    return QStringLiteral("В списке %1 больше %2 имён; показаны первые %2.")
        .arg(visible(path), count(shown));
}

} // namespace ravno
