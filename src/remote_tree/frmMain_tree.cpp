// Listing server directories into the tree, server paths, navigation.
#include "app/frmMain.h"

void frmMain::ListServerDirectory(const QString&) {}
void frmMain::AddListingNodes(const QString&) {}
void frmMain::ChangeServerDirectory(const QString&) {}
QString frmMain::ServerPathOfKey(const QString&) const { return {}; }
void frmMain::tvwServer_DblClick() {}
void frmMain::RefreshServerNode(ServerTree::Node*) {}
