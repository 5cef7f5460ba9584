#include "pathnames.h"

#include <QDir>
#include <QStringList>
#include <QUrl>

#include <filesystem>

#include "platform.h"
#include "tilefolder.h"

namespace {

constexpr char16_t KeptByteBase = 0xDC00;   // + the byte, 0x80 to 0xFF

bool isKeptByte(char16_t c) { return c >= KeptByteBase + 0x80 && c <= KeptByteBase + 0xFF; }

void appendUtf8(std::string &out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// The length of the UTF-8 sequence at the start of bytes and its code point;
// 0 when it is not one (overlong forms, surrogates and code points beyond
// U+10FFFF are not UTF-8).
std::size_t utf8Sequence(std::string_view bytes, char32_t &cp)
{
    const auto lead = static_cast<unsigned char>(bytes[0]);
    const std::size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2
        : lead >= 0xE0 && lead <= 0xEF                                     ? 3
        : lead >= 0xF0 && lead <= 0xF4                                     ? 4
                                                                           : 0;
    if (length == 0 || length > bytes.size())
        return 0;
    cp = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(bytes[k]);
        if ((next & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (next & 0x3F);
    }
    const bool overlong = (length == 3 && cp < 0x800) || (length == 4 && cp < 0x10000);
    if (overlong || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return length;
}

bool exists(const std::string &path)
{
    return wmb::linkStatus(path).kind != wmb::FileKind::Missing;
}

// Paths between the level core's text and the standard library's: bytes on
// POSIX systems, UTF-8 for the UTF-16 names of Windows.
std::filesystem::path filesystemPath(const std::string &path)
{
#ifdef Q_OS_WIN
    return std::filesystem::path(std::u8string(path.begin(), path.end()));
#else
    return std::filesystem::path(path);
#endif
}

std::string pathText(const std::filesystem::path &path)
{
#ifdef Q_OS_WIN
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
#else
    return path.native();
#endif
}

// The one entry of folder that a Qt dialog shows as `shown`, or empty.
std::string entryShownAs(const std::string &folder, const QString &shown)
{
    std::string match;
    std::error_code error;
    for (const auto &entry : std::filesystem::directory_iterator(filesystemPath(folder), error)) {
        const std::string name = pathText(entry.path().filename());
        if (shownPath(qStringFromPath(name)) != shown)
            continue;
        if (!match.empty())
            return {};
        match = name;
    }
    return match;
}

} // namespace

QString qStringFromPath(std::string_view path)
{
    QString text;
    text.reserve(static_cast<qsizetype>(path.size()));
    while (!path.empty()) {
        char32_t cp = 0;
        std::size_t length = utf8Sequence(path, cp);
        if (length == 0) {
            cp = KeptByteBase + static_cast<unsigned char>(path[0]);
            length = 1;
        }
        if (QChar::requiresSurrogates(cp)) {
            text += QChar(QChar::highSurrogate(cp));
            text += QChar(QChar::lowSurrogate(cp));
        } else {
            text += QChar(static_cast<char16_t>(cp));
        }
        path.remove_prefix(length);
    }
    return text;
}

std::string pathFromQString(const QString &path)
{
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(path.size()));
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char16_t c = path[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < path.size() && QChar::isLowSurrogate(path[i + 1].unicode())) {
            appendUtf8(bytes, QChar::surrogateToUcs4(c, path[i + 1].unicode()));
            ++i;
        } else if (isKeptByte(c)) {
            bytes += static_cast<char>(c - KeptByteBase);
        } else {
            appendUtf8(bytes, QChar::isSurrogate(c) ? char32_t{0xFFFD} : char32_t{c});
        }
    }
    return bytes;
}

QString shownPath(const QString &path)
{
    const std::string bytes = pathFromQString(path);
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QString shownFileName(const QString &path)
{
    return shownPath(path.mid(path.lastIndexOf(QLatin1Char('/')) + 1));
}

QString elidedPath(const QString &shown, int limit)
{
    if (shown.size() <= limit)
        return shown;
    const QString tail = shown.mid(shown.lastIndexOf(QLatin1Char('/')));
    const QChar ellipsis(0x2026);
    if (tail.size() + 1 >= limit)
        return ellipsis + tail;
    QString head = shown.left(limit - 1 - tail.size());
    if (head.back().isHighSurrogate())
        head.chop(1);
    return head + ellipsis + tail;
}

QString pathFromDialog(const QString &chosen)
{
    if (!chosen.contains(QChar::ReplacementCharacter))
        return chosen;
    const QStringList parts = chosen.split(QLatin1Char('/'));
    std::string resolved;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        std::string part = pathFromQString(parts[i]);
        const std::string folder = i == 0 ? "." : resolved.empty() ? "/" : resolved;
        const std::string asReturned = i == 0 ? part : resolved + "/" + part;
        if (!part.empty() && parts[i].contains(QChar::ReplacementCharacter) && !exists(asReturned)) {
            const std::string match = entryShownAs(folder, parts[i]);
            if (!match.empty())
                part = match;
        }
        resolved = i == 0 ? part : resolved + "/" + part;
    }
    return qStringFromPath(resolved);
}

QString pathFromUrl(const QUrl &url)
{
    if (!url.isLocalFile())
        return {};
#ifdef Q_OS_WIN
    // Names are UTF-16 text here, and paths start with a drive.
    return url.toLocalFile();
#else
    if (!url.host().isEmpty())
        return url.toLocalFile();
    const QByteArray bytes = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    return qStringFromPath(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
#endif
}

QString absolutePath(const QString &path)
{
    // Qt's own test, without its resource paths (":/..."); Windows' "\"
    // become "/" as everywhere in the editor.
    if (!path.startsWith(QLatin1Char(':')) && QDir::isAbsolutePath(path))
        return QDir::fromNativeSeparators(path);
    return QDir::cleanPath(qStringFromPath(wmb::currentDirectory()) + QLatin1Char('/') + path);
}
