// Text downloads' line ends: the bytes on disk are the same however the
// server's bytes were cut into pieces.
#include "session/inet/line_ends.h"

#include <QList>

#include <gtest/gtest.h>

using inet::detail::LineEndsToLocal;

namespace {

QByteArray convertPieces(const QList<QByteArray>& pieces)
{
    LineEndsToLocal lineEnds;
    QByteArray out;
    for (const QByteArray& piece : pieces)
        lineEnds.convert(piece.constData(), piece.size(), out);
    return out;
}

}  // namespace

TEST(LineEndsToLocal, ConvertsAsOneStreamWhereverThePiecesBreak)
{
    const struct {
        QList<QByteArray> pieces;
        QByteArray expected;
    } rows[] = {
        {{"a\r\nb\r\n"}, "a\nb\n"},
        {{"no line end"}, "no line end"},
        {{"a\r", "\nb"}, "a\nb"},                // CR LF across two pieces
        {{"a\r", "", "\nb"}, "a\nb"},            // an empty piece between them
        {{"a\rb"}, "a\nb"},                      // a lone CR
        {{"a\r", "b"}, "a\nb"},                  // a lone CR at a piece's end
        {{"a\r\r\nb"}, "a\n\nb"},                // CR CR LF
        {{"a\r", "\r", "\nb"}, "a\n\nb"},
        {{"a\n\nb"}, "a\n\nb"},                  // LF stays
        {{"\r\n", "\n"}, "\n\n"},                // an LF after a whole pair is its own
        {{"end\r"}, "end\n"},                    // a file ending in CR
        {{"a\r", "\n", "\n"}, "a\n\n"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(convertPieces(row.pieces), row.expected) << row.pieces.join('|').toStdString();
}
