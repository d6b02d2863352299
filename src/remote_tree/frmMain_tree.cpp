// Listing server directories into the tree, server paths, navigation.
#include "app/frmMain.h"

#include "app/modWinInet.h"
#include "remote_tree/Listing.h"
#include "remote_tree/ServerPaths.h"

#include <QLineEdit>

using namespace modWinInet;

namespace {
const QString kRoot = QStringLiteral("root");
const QString kClosed = QStringLiteral("closed");
const QString kOpen = QStringLiteral("open");

// Changes the server's directory to a node key or a server path; false,
// after the hint or the error report, when it did not change.
bool changeDirectory(frmMain& window, const QString& keyOrPath)
{
    if (keyOrPath.isEmpty()) {
        window.ShowStatus(QStringLiteral("Please enter the directory to CD"));
        return false;
    }
    const QString path = remote_tree::DirectoryOf(keyOrPath, window.txtServer->text(), window.LoginDirectory);
    if (inet::Library().FtpSetCurrentDirectoryA(ConnectionHandle, path))
        return true;
    window.ReportInternetError(qint32(inet::Library().GetLastError()), QStringLiteral("TavFTP"));
    return false;
}

}  // namespace

void frmMain::ListServerDirectory(const QString& path)
{
    ClearListings();
    // A directory that cannot be entered is not listed: the current one would
    // show up under a node that does not stand for it.
    if (!path.isEmpty() && !changeDirectory(*this, path))
        return;

    remote_tree::Listing listing = remote_tree::ReadListing(inet::Library(), ConnectionHandle);
    ListingNames = std::move(listing.names);
    ListingAttributes = std::move(listing.attributes);
    ListingFacts = std::move(listing.facts);
    using Outcome = remote_tree::Listing::Outcome;
    switch (listing.outcome) {
    case Outcome::Complete:
        break;
    case Outcome::Empty:
        ShowStatus(QStringLiteral("文件夹为空!"));
        break;
    case Outcome::FirstFailed:
        ReportInternetError(qint32(listing.error), QStringLiteral("FtpFindFirstFile"));
        break;
    case Outcome::NextFailed:
        ReportInternetError(qint32(listing.error), QStringLiteral("InternetFindNextFile"));
        break;
    }
}

void frmMain::AddListingNodes(const QString& parentKey)
{
    const QString server = txtServer->text();
    if (parentKey == server && ListingNames.isEmpty()) {
        // Refused when the root is there already: it then stays, without children.
        tvwServer->addNode(QString(), server, server, kRoot);
        return;
    }
    if (ListingAttributes.isEmpty())
        return;
    // Made one at a time as they go in: a list of them all first would
    // hold megabytes for a long folder. The facts are the nodes' from here on.
    const qsizetype count = std::min(ListingNames.size(), ListingAttributes.size());
    ServerTree::Node* last = nullptr;
    {
        const QList<ServerTree::Facts> facts = std::exchange(ListingFacts, {});
        last = tvwServer->addChildren(parentKey, count, [this, &facts](qsizetype i) {
            return remote_tree::NodeOfListing(ListingNames.at(i), ListingAttributes.at(i), facts.value(i));
        });
    }
    if (!last)
        return;
    // As many entries as fit come into view, but never at the cost of the
    // folder that was opened.
    tvwServer->ensureNodeVisible(last);
    tvwServer->scrollTo(tvwServer->indexOf(tvwServer->node(parentKey)));
}

bool frmMain::ChangeServerDirectory(const QString& keyOrPath) { return changeDirectory(*this, keyOrPath); }

QString frmMain::ServerPathOfKey(const QString& key) const
{
    return remote_tree::ServerPathOfKey(key, txtServer->text(), LoginDirectory);
}

void frmMain::tvwServer_DblClick()
{
    ServerTree::Node* node = tvwServer->selectedNode();
    if (!IsConnected) {
        ShowStatus(QStringLiteral("未连接服务器!"));
        return;
    }
    if (!node) {
        ShowStatus(QStringLiteral("没有选中节点！"));
        return;
    }
    const QString image = tvwServer->imageKey(node);
    if (image == kClosed) {
        // Marked open first: a folder whose listing fails or is empty stays open, without children.
        tvwServer->setImageKey(node, kOpen);
        const QString key = ServerTree::text(node);
        ListServerDirectory(key);
        AddListingNodes(key);
    } else if (image == kOpen) {
        tvwServer->setImageKey(node, kClosed);
        tvwServer->removeChildren(node);
    }
}

void frmMain::RefreshServerNode(ServerTree::Node* node)
{
    if (!node)
        return;
    tvwServer->removeChildren(node);
    if (tvwServer->imageKey(node) == kClosed)
        tvwServer->setImageKey(node, kOpen);
    const QString key = ServerTree::text(node);
    ListServerDirectory(key);
    AddListingNodes(key);
}
