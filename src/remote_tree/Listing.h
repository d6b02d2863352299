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
    QList<ServerTree::Facts> facts;  // size and time of change, in parallel
};

// Lists the connection's current directory. Entries whose names cannot
// stand in a node key are left out. The find handle is closed before return.
Listing ReadListing(inet::InternetApi& library, inet::HINTERNET connection);

// The size (not for folders) and time of change of a find-data record.
ServerTree::Facts FactsOf(const inet::FindData& data);

// "大小: 1,234 字节  修改时间: 2024-05-01 12:00"; what is not known is left
// out, so it may be empty.
QString DetailsOf(const ServerTree::Facts& facts);

// Whether an attribute word marks a folder: exactly the directory bit in its
// low 16 bits, nothing else.
bool IsFolderAttribute(quint32 attributes);

// The node an entry of a listing adds under the listed folder's node.
ServerTree::NewNode NodeOfListing(const QString& name, quint32 attributes,
                                  const ServerTree::Facts& facts = {});

}  // namespace remote_tree
