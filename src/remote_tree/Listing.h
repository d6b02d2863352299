#pragma once
// Reading one server directory through the Internet library, and turning
// a listing into tree nodes.

#include "remote_tree/ServerTree.h"
#include "session/inet/internet_api.h"

#include <QList>
#include <QStringList>

namespace remote_tree {

struct Listing {
    enum class Outcome {
        Complete,     // every entry read
        Empty,        // the directory has no entries
        FirstFailed,  // the first read failed with `error`
        NextFailed,   // reading stopped early with `error`; the entries so far are kept
    };
    Outcome outcome = Outcome::Complete;
    quint32 error = 0;
    QStringList names;         // entry names in the server's order
    QList<quint32> attributes; // their attribute words, in parallel
};

// Lists the connection's current directory. Entries whose names cannot
// stand in a node key are left out. The find handle is closed before return.
Listing ReadListing(inet::InternetApi& library, inet::HINTERNET connection);

// Whether an attribute word marks a folder: exactly the directory bit in its
// low 16 bits, nothing else.
bool IsFolderAttribute(quint32 attributes);

// The nodes a listing adds under parentKey, in listing order.
QList<ServerTree::NewNode> NodesOfListing(const QString& parentKey, const QStringList& names,
                                          const QList<quint32>& attributes);

}  // namespace remote_tree
