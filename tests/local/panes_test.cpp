// The three local panes following each other, and the drive fallback.
#include "local/DirListBox.h"
#include "local/DriveListBox.h"
#include "local/FileListBox.h"
#include "support/window_fixture.h"

#include <QDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using testsupport::writeFile;

class PanesTest : public testsupport::FakeWindowTest {
protected:
    QString local(const QString& relative) const { return localRoot.path() + '/' + relative; }
    QStringList files() const
    {
        QStringList names;
        for (int i = 0; i < window->filLocal->listCount(); ++i)
            names.append(window->filLocal->list(i));
        return names;
    }
};

TEST_F(PanesTest, OpeningADirectoryListsItsFilesAtOnceWhileHighlightingChangesNothing)
{
    writeFile(local("top.txt"), "t");
    writeFile(local("sub/inner.txt"), "i");
    window->dirLocal->refresh();
    window->filLocal->refresh();

    window->dirLocal->setListIndex(0);  // a single click on "sub"
    EXPECT_EQ(window->dirLocal->path(), localRoot.path());
    EXPECT_EQ(window->dirLocal->highlightedPath(), local("sub"));
    EXPECT_EQ(files(), QStringList({"top.txt"}));

    QListWidgetItem* sub = window->dirLocal->item(window->dirLocal->count() - 1);
    emit window->dirLocal->itemDoubleClicked(sub);
    EXPECT_EQ(window->dirLocal->path(), local("sub"));
    EXPECT_EQ(window->filLocal->path(), local("sub"));
    EXPECT_EQ(files(), QStringList({"inner.txt"}));
    EXPECT_EQ(window->dirLocal->listIndex(), -1);

    window->dirLocal->setPath(localRoot.path());  // back up through an ancestor
    EXPECT_EQ(files(), QStringList({"top.txt"}));
}

TEST_F(PanesTest, FoldersWhoseNamesAreNotUtf8AreListedAndOpen)
{
    const QByteArray odd = QFile::encodeName(localRoot.path()) + "/d\xFE";
    ASSERT_EQ(::mkdir(odd.constData(), 0777), 0);
    ::close(::open(QByteArray(odd + "/f\xFF").constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666));
    window->dirLocal->refresh();
    EXPECT_EQ(window->dirLocal->list(0), local("d\\xFE"));
    EXPECT_TRUE(window->dirLocal->setPath(local("d\\xFE")));
    EXPECT_EQ(files(), QStringList({"f\\xFF"}));
    EXPECT_EQ(window->dirLocal->list(-2), localRoot.path());
}

TEST_F(PanesTest, RefreshShowsTheDiskAndKeepsTheOpenDirectory)
{
    writeFile(local("later.txt"), "l");
    QDir().mkpath(local("newdir"));
    window->filLocal->refresh();
    window->dirLocal->refresh();
    EXPECT_EQ(files(), QStringList({"later.txt"}));
    EXPECT_EQ(window->dirLocal->list(0), local("newdir"));
    EXPECT_EQ(window->dirLocal->path(), localRoot.path());
}

TEST_F(PanesTest, ChoosingADriveOpensItsMountPointInBothPanes)
{
    window->drvLocal->setDrive("/");
    EXPECT_EQ(window->dirLocal->path(), "/");
    EXPECT_EQ(window->filLocal->path(), "/");
}

TEST_F(PanesTest, ADriveThatCannotBeReadFallsBackToTheRootSilently)
{
    const QString gone = local("unplugged");  // a mount point that is not there
    window->drvLocal->setDrive(gone);
    EXPECT_EQ(window->drvLocal->drive(), "/");
    EXPECT_EQ(window->dirLocal->path(), "/");
    EXPECT_EQ(window->filLocal->path(), "/");
    EXPECT_TRUE(person.msgBoxes.isEmpty());
    EXPECT_EQ(panel1(), "");
}
