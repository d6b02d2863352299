#include "line_ends.h"

#include <cstring>

namespace inet::detail {

void LineEndsToLocal::convert(const char* data, qsizetype size, QByteArray& out)
{
    if (size <= 0)
        return;
    const char* p = data;
    const char* const end = data + size;
    if (m_afterCR && *p == '\n')
        ++p;
    m_afterCR = false;
    // Runs without CR go over whole; text has few CRs to stop at.
    while (p < end) {
        const char* cr = static_cast<const char*>(std::memchr(p, '\r', size_t(end - p)));
        if (!cr) {
            out.append(p, end - p);
            break;
        }
        out.append(p, cr - p);
        out.append('\n');
        p = cr + 1;
        if (p == end)
            m_afterCR = true;
        else if (*p == '\n')
            ++p;
    }
}

}  // namespace inet::detail
