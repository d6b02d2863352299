#pragma once
// Images addressed by string keys, for the server tree's nodes.

#include <QHash>
#include <QIcon>
#include <QString>

class ImageList {
public:
    void add(const QString& key, const QIcon& icon) { m_images.insert(key, icon); }
    QIcon image(const QString& key) const { return m_images.value(key); }
    bool contains(const QString& key) const { return m_images.contains(key); }
    QStringList keys() const { return m_images.keys(); }

private:
    QHash<QString, QIcon> m_images;
};
