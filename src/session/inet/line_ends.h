#pragma once
// Line ends of text (ASCII) downloads, converted in bulk as the pieces
// arrive: CR LF and a lone CR each become one LF. A CR at the end of a piece
// is written as LF at once; an LF opening the next piece is then its pair
// and dropped.

#include <QByteArray>

namespace inet::detail {

class LineEndsToLocal {
public:
    // Appends the converted piece to out.
    void convert(const char* data, qsizetype size, QByteArray& out);

private:
    bool m_afterCR = false;  // the last piece ended in a CR
};

}  // namespace inet::detail
