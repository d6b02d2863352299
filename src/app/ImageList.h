#pragma once
// Images addressed by string keys, for the server tree's nodes. An image may
// be given as the way to make it, made the first time it is asked for.

#include <QHash>
#include <QIcon>
#include <QString>

#include <functional>

class ImageList {
public:
    void add(const QString& key, const QIcon& icon)
    {
        m_makers.remove(key);
        m_images.insert(key, icon);
    }
    void add(const QString& key, std::function<QIcon()> make)
    {
        m_images.remove(key);
        m_makers.insert(key, std::move(make));
    }
    QIcon image(const QString& key) const
    {
        if (const auto maker = m_makers.constFind(key); maker != m_makers.constEnd()) {
            m_images.insert(key, (*maker)());
            m_makers.erase(maker);
        }
        return m_images.value(key);
    }
    bool contains(const QString& key) const { return m_images.contains(key) || m_makers.contains(key); }
    QStringList keys() const { return m_images.keys() + m_makers.keys(); }

private:
    mutable QHash<QString, QIcon> m_images;
    mutable QHash<QString, std::function<QIcon()>> m_makers;
};
