// Many short strings in one allocation.
#pragma once

#include <QByteArray>
#include <QString>

namespace inet {

// Hands out strings that share one block: each holds a reference to it, so
// the block lives as long as any of them, and changing one copies it first
// as for any shared string. A listing of 30,000 names then costs one
// allocation instead of 30,000, and half the memory.
class NameBlock {
public:
    // Room for capacity UTF-16 units, each name's terminating NUL included.
    explicit NameBlock(qsizetype capacity);

    // The text as a string in the block, or as a string of its own when the
    // block has no room left for it.
    QString place(QStringView text);
    // The same for text in Latin-1.
    QString placeLatin1(QByteArrayView text);

private:
    // The next length units of the block as a string, NUL-terminated; the
    // caller has written them.
    QString take(qsizetype length);

    QString m_block;
    qsizetype m_used = 0;
};

// ShownName(bytes), placed in block.
QString ShownNameIn(NameBlock& block, const QByteArray& bytes);

}  // namespace inet
