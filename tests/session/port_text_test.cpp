#include "session/PortText.h"

#include <gtest/gtest.h>

using session::PortFromText;

namespace {

struct PortRow {
    const char* text;
    int port;  // -1: refused
};

// Rows show by what they expect; the texts may hold blanks and line feeds.
void PrintTo(const PortRow& row, std::ostream* os) { *os << "port " << row.port; }

class PortText : public ::testing::TestWithParam<PortRow> {};

TEST_P(PortText, ReadsAsAPersonTypedIt)
{
    const PortRow row = GetParam();
    const std::optional<quint16> port = PortFromText(QString::fromUtf8(row.text));
    if (row.port < 0)
        EXPECT_FALSE(port.has_value()) << row.text;
    else
        EXPECT_EQ(port, std::optional<quint16>(quint16(row.port))) << row.text;
}

INSTANTIATE_TEST_SUITE_P(
    Table, PortText,
    ::testing::Values(
        PortRow{"", 0}, PortRow{"abc", 0}, PortRow{"-5", 0}, PortRow{"-", 0}, PortRow{"&H", 0},
        PortRow{"21", 21}, PortRow{"21abc", 21}, PortRow{"2 1", 21}, PortRow{" \t2\n1 ", 21},
        PortRow{"&H15", 21}, PortRow{"&h15", 21}, PortRow{"&O25", 21}, PortRow{"&O259", 21},
        PortRow{"&HFFFF", 65535}, PortRow{"+21", 21}, PortRow{"21.5", 22}, PortRow{"20.5", 20},
        PortRow{"20.49", 20}, PortRow{".5", 0}, PortRow{"1.5", 2}, PortRow{"2.1e1", 21}, PortRow{"21e", 21},
        PortRow{"21e+", 21}, PortRow{"2d1", 20}, PortRow{"-1e9", 0}, PortRow{"40000", 40000},
        PortRow{"65535", 65535}, PortRow{"65535.4", 65535}, PortRow{"65535.5", -1}, PortRow{"65536", -1},
        PortRow{"&H10000", -1}, PortRow{"1e400", -1}, PortRow{"99999999999999999999", -1}),
    [](const ::testing::TestParamInfo<PortRow>& info) { return "row" + std::to_string(info.index); });

}  // namespace
