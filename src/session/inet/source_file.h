#pragma once
// An upload's local file, read through its descriptor with no system calls
// beyond one open, one status and the reads: a folder of small files goes
// up one after another, and each call counts.

#include <QIODevice>

namespace inet::detail {

class SourceFile : public QIODevice {
public:
    enum class Failure { None, NotAFile, Unreadable };

    // path holds the local name's bytes. Anything but a regular file is
    // refused without blocking (a pipe waits for a writer when opened plainly).
    explicit SourceFile(const QByteArray& path);
    ~SourceFile() override;

    Failure failure() const { return m_failure; }
    bool isSequential() const override { return false; }
    qint64 size() const override { return m_size; }
    bool seek(qint64 pos) override;

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    int m_fd = -1;
    qint64 m_size = 0;
    Failure m_failure = Failure::None;
};

}  // namespace inet::detail
