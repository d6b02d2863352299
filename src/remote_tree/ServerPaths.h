#pragma once
// Server paths of tree nodes. A node's key is the server box text followed,
// for every level, by "/" and an entry name; the root stands for the
// directory the server put the session in after log-in.

#include <QString>

namespace remote_tree {

// Joins a server directory and a relative part beginning with "/" or empty,
// with exactly one "/" between them.
QString JoinServerPath(const QString& directory, const QString& relative);

// The server path a node key stands for: the log-in directory joined with
// the key's part after the server text.
QString ServerPathOfKey(const QString& key, const QString& serverText, const QString& loginDirectory);

// The directory a directory change goes to: a node key (an argument that
// begins with the server text) through ServerPathOfKey, a server path as it
// is; "/" for an empty result.
QString DirectoryOf(const QString& keyOrPath, const QString& serverText, const QString& loginDirectory);

// Whether an entry name can stand in a node key.
bool IsNodeName(const QString& name);

}  // namespace remote_tree
