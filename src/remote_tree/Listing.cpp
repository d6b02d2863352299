#include "remote_tree/Listing.h"

#include "remote_tree/ServerPaths.h"

#include <QDateTime>
#include <QLocale>

namespace remote_tree {

namespace {

void append(Listing& listing, const inet::FindData& data)
{
    if (!IsNodeName(data.cFileName))
        return;
    listing.attributes.append(data.dwFileAttributes);
    listing.names.append(data.cFileName);
    listing.facts.append(FactsOf(data));
}

// 100 ns ticks since 1601 as a time; invalid for 0.
QDateTime fromFileTime(quint64 ticks)
{
    constexpr qint64 kEpochDelta = 11644473600LL;  // seconds from 1601 to 1970
    if (ticks == 0)
        return {};
    return QDateTime::fromMSecsSinceEpoch(qint64(ticks / 10000) - kEpochDelta * 1000, Qt::UTC);
}

}  // namespace

Listing ReadListing(inet::InternetApi& library, inet::HINTERNET connection)
{
    Listing listing;
    inet::FindData data;
    const inet::HINTERNET find = library.FtpFindFirstFileA(connection, QStringLiteral("*.*"), data, 0, 0);
    const quint32 firstError = library.GetLastError();
    if (find == 0) {
        listing.outcome = firstError == inet::ERROR_NO_MORE_FILES ? Listing::Outcome::Empty
                                                                 : Listing::Outcome::FirstFailed;
        listing.error = firstError;
        return listing;
    }
    append(listing, data);
    while (true) {
        data = inet::FindData{};
        if (!library.InternetFindNextFileA(find, data))
            break;
        append(listing, data);
    }
    const quint32 nextError = library.GetLastError();
    if (nextError != inet::ERROR_NO_MORE_FILES) {
        listing.outcome = Listing::Outcome::NextFailed;
        listing.error = nextError;
    }
    library.InternetCloseHandle(find);
    return listing;
}

ServerTree::Facts FactsOf(const inet::FindData& data)
{
    ServerTree::Facts facts;
    if (!IsFolderAttribute(data.dwFileAttributes))
        facts.size = qint64(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
    facts.changed = data.ftLastWriteTime;
    return facts;
}

QString DetailsOf(const ServerTree::Facts& facts)
{
    QStringList parts;
    if (facts.size >= 0)
        parts << QStringLiteral("大小: ") + QLocale(QLocale::English).toString(facts.size) + QStringLiteral(" 字节");
    const QDateTime changed = fromFileTime(facts.changed);
    if (changed.isValid())
        parts << QStringLiteral("修改时间: ") + changed.toLocalTime().toString(QStringLiteral("yyyy-MM-dd hh:mm"));
    return parts.join(QStringLiteral("  "));
}

bool IsFolderAttribute(quint32 attributes) { return quint16(attributes) == inet::FILE_ATTRIBUTE_DIRECTORY; }

ServerTree::NewNode NodeOfListing(const QString& name, quint32 attributes,
                                  const ServerTree::Facts& facts)
{
    static const QString closed = QStringLiteral("closed");
    static const QString file = QStringLiteral("file");
    return {name, IsFolderAttribute(attributes) ? closed : file, facts};
}

}  // namespace remote_tree
