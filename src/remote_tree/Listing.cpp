#include "remote_tree/Listing.h"

#include "remote_tree/ServerPaths.h"

namespace remote_tree {

namespace {

void append(Listing& listing, const inet::FindData& data)
{
    if (!IsNodeName(data.cFileName))
        return;
    listing.attributes.append(data.dwFileAttributes);
    listing.names.append(data.cFileName);
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

bool IsFolderAttribute(quint32 attributes) { return quint16(attributes) == inet::FILE_ATTRIBUTE_DIRECTORY; }

QList<ServerTree::NewNode> NodesOfListing(const QString& parentKey, const QStringList& names,
                                          const QList<quint32>& attributes)
{
    static const QString closed = QStringLiteral("closed");
    static const QString file = QStringLiteral("file");
    QList<ServerTree::NewNode> nodes;
    const qsizetype count = std::min(names.size(), attributes.size());
    nodes.reserve(count);
    for (qsizetype i = 0; i < count; ++i) {
        const QString key = parentKey + u'/' + names.at(i);
        nodes.append({key, key, IsFolderAttribute(attributes.at(i)) ? closed : file});
    }
    return nodes;
}

}  // namespace remote_tree
