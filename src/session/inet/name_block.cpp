#include "name_block.h"

#include <algorithm>

namespace inet {

NameBlock::NameBlock(qsizetype capacity)
    : m_block(std::max<qsizetype>(capacity, 0), Qt::Uninitialized)
{
}

QString NameBlock::place(QStringView text)
{
    if (text.size() + 1 > m_block.size() - m_used)
        return text.toString();
    std::copy_n(text.utf16(), text.size(), m_block.data_ptr().data() + m_used);
    return take(text.size());
}

QString NameBlock::placeLatin1(QByteArrayView text)
{
    if (text.size() + 1 > m_block.size() - m_used)
        return QString::fromLatin1(text);
    std::transform(text.begin(), text.end(), m_block.data_ptr().data() + m_used,
                   [](char c) { return char16_t(uchar(c)); });
    return take(text.size());
}

QString NameBlock::take(qsizetype length)
{
    // A copy of the block's pointer holds one more reference; narrowed to
    // the name, it is the name.
    QStringPrivate part = m_block.data_ptr();
    char16_t* begin = part.data() + m_used;
    begin[length] = u'\0';
    part.setBegin(begin);
    part.size = length;
    m_used += length + 1;
    return QString(std::move(part));
}

}  // namespace inet
