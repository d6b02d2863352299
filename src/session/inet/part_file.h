#pragma once
// A download's file beside its target, renamed over the target only when
// the download is complete: a failed or cancelled download never touches an
// earlier file of that name and leaves nothing behind.

#include <QIODevice>

namespace inet::detail {

class PartFile : public QIODevice {
public:
    // target is a shown path (see ShownName).
    explicit PartFile(const QString& target);
    ~PartFile() override;  // removes the part file unless it was committed

    // Checks that the target's folder takes a new file. The part file itself
    // is created with the first bytes (or at commit for an empty download),
    // so that its creation overlaps the server's work instead of adding to
    // every small download's round trips.
    bool open();
    // True when the part file could not be created when its bytes came.
    bool createFailed() const { return m_createFailed; }
    // Puts the content in place of the target. An earlier file is replaced
    // only once the new content is on disk, keeping its permissions; a new
    // name is not forced to disk first, which would cost every small
    // download a disk flush.
    bool commit();

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override;

private:
    bool create();
    // Writes the gathered bytes out; false when the disk refused them.
    bool flushGathered();
    void closeFile();

    QByteArray m_target;  // local names are bytes
    QByteArray m_part;
    int m_fd = -1;
    // libcurl hands a download over in pieces as they arrive, often a few
    // KiB; writing each at once costs a system call per piece, so small
    // ones are gathered. The gathering grows with the download: a small
    // file's never takes more than the file.
    QByteArray m_gathered;
    bool m_created = false;
    bool m_createFailed = false;
};

}  // namespace inet::detail
