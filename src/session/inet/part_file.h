#pragma once
// A download's file beside its target, renamed over the target only when
// the download is complete: a failed or cancelled download never touches an
// earlier file of that name and leaves nothing behind.

#include <QFile>

namespace inet::detail {

class PartFile : public QFile {
public:
    explicit PartFile(const QString& target);
    ~PartFile() override;  // removes the part file unless it was committed

    // Creates the part file; false when the target's folder cannot be written.
    bool open();
    // Puts the content in place of the target. An earlier file is replaced
    // only once the new content is on disk, keeping its permissions; a new
    // name is not forced to disk first, which would cost every small
    // download a disk flush.
    bool commit();

private:
    QString m_target;
    bool m_created = false;
};

}  // namespace inet::detail
