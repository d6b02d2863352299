// The help menu item through the window: the file's exact bytes, keeping an
// edited copy, the current directory and how the file is opened.
#include "app/StatusPanels.h"
#include "help/HelpFile.h"
#include "support/window_fixture.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace testsupport;

namespace {

// The first 21 lines as a reader must find them; 22 to 25 are contact lines.
const char* const kFixedLines[] = {
    "一、打开Internet会话",
    "1.选择“开始”——“会话”菜单；",
    "2.如果不利用代理服务器，直接点击“打开Internet会话”；",
    "3.如果利用代理服务器，输入地址和端口，点击“打开Internet会话”；",
    "4.退出会话窗口。",
    "",
    "二、连接FTP服务器",
    "1.输入FTP服务器域名或IP地址、端口（如没有其他信息，输入21即可）、用户名、口令；",
    "2.其他选项可以保留推荐值；",
    "3.点击“连接”。",
    "",
    "三、文件操作",
    "1.操作文件及目录针对的是选定目录，而不一定是打开的目录；",
    "2.删除目录只能删除空目录；",
    "3.删除目录或文件时须谨慎操作。",
    "",
    "四、网页文件",
    "1.非会话状态即可下载；",
    "2.输入有效的网页文件地址，点击“下载”即可。",
    "",
    "五、软件信息",
};

class HelpMenu : public FakeWindowTest {
protected:
    HelpMenu() : m_savedCurrent(QDir::currentPath()) { help::OverrideHelpFolder(folder.path()); }
    ~HelpMenu() override
    {
        help::OverrideHelpFolder(QString());
        QDir::setCurrent(m_savedCurrent);
        if (!m_savedPath.isNull())
            qputenv("PATH", m_savedPath);
    }
    QString helpPath() const { return folder.path() + QStringLiteral("/ReadMe.txt"); }
    // Only the given programs can be found on the PATH.
    void pathWith(const QStringList& programs)
    {
        m_savedPath = qgetenv("PATH");
        for (const QString& name : programs) {
            QFile program(bin.path() + u'/' + name);
            ASSERT_TRUE(program.open(QIODevice::WriteOnly));
            program.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        }
        qputenv("PATH", QFile::encodeName(bin.path()));
    }

    QTemporaryDir folder;
    QTemporaryDir bin;

private:
    QString m_savedCurrent;
    QByteArray m_savedPath;
};

TEST_F(HelpMenu, FirstUseWritesTheTextAndOpensIt)
{
    window->staStatus->setText(1, QStringLiteral("before"));
    window->mnuContent->trigger();

    const QByteArray bytes = readFile(helpPath());
    ASSERT_FALSE(bytes.isEmpty());
    EXPECT_FALSE(bytes.startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(bytes.endsWith("\r\n"));
    EXPECT_EQ(bytes.count("\n"), bytes.count("\r\n"));  // no bare line ends
    QList<QByteArray> lines = bytes.split('\n');
    ASSERT_EQ(lines.size(), 26);  // 25 lines, each ended
    EXPECT_TRUE(lines.takeLast().isEmpty());
    for (int i = 0; i < 21; ++i)
        EXPECT_EQ(lines[i], QByteArray(kFixedLines[i]) + '\r') << "line " << i + 1;
    for (int i = 21; i < 25; ++i)
        EXPECT_GT(lines[i].size(), 1) << "contact line " << i + 1;

    EXPECT_EQ(person.openedUrls, QList<QUrl>{QUrl::fromLocalFile(helpPath())});
    EXPECT_TRUE(person.shellCommands.isEmpty());
    EXPECT_EQ(QFileInfo(QDir::currentPath()), QFileInfo(folder.path()));
    EXPECT_TRUE(person.msgBoxes.isEmpty());
    EXPECT_EQ(panel1(), QStringLiteral("before"));
}

TEST_F(HelpMenu, EditedFileStaysAndDeletedFileComesBack)
{
    writeFile(helpPath(), "my own notes\n");
    window->mnuContent->trigger();
    EXPECT_EQ(readFile(helpPath()), "my own notes\n");
    EXPECT_EQ(person.openedUrls.size(), 1);

    QFile::remove(helpPath());
    window->mnuContent->trigger();
    EXPECT_TRUE(readFile(helpPath()).startsWith(QByteArray(QByteArray(kFixedLines[0]) + "\r\n")));
    EXPECT_EQ(person.openedUrls.size(), 2);
}

TEST_F(HelpMenu, EditorOnThePathOpensTheFileWhenTheDesktopCannot)
{
    person.openUrlResult = false;
    pathWith({QStringLiteral("mousepad")});
    window->mnuContent->trigger();
    EXPECT_EQ(person.shellCommands, QStringList{QStringLiteral("mousepad ReadMe.txt")});
    EXPECT_EQ(QFileInfo(QDir::currentPath()), QFileInfo(folder.path()));
}

TEST_F(HelpMenu, NothingToOpenWithSaysWhereTheFileIs)
{
    person.openUrlResult = false;
    pathWith({});
    window->mnuContent->trigger();
    EXPECT_TRUE(person.shellCommands.isEmpty());
    EXPECT_TRUE(person.msgBoxes.isEmpty());
    EXPECT_FALSE(readFile(helpPath()).isEmpty());
    EXPECT_EQ(panel1(), QStringLiteral("提示: 没有程序能打开帮助文件，它在：") + helpPath());

    QFile editor(bin.path() + QStringLiteral("/mousepad"));  // an editor that does not start
    ASSERT_TRUE(editor.open(QIODevice::WriteOnly));
    editor.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    person.shellResult = false;
    window->staStatus->setText(1, QString());
    window->mnuContent->trigger();
    EXPECT_EQ(person.shellCommands, QStringList{QStringLiteral("mousepad ReadMe.txt")});
    EXPECT_EQ(panel1(), QStringLiteral("提示: 没有程序能打开帮助文件，它在：") + helpPath());
}

TEST(HelpFolder, ProgramsOwnFolderWhenWritableOrHoldingTheFileNeverASharedBin)
{
    struct Row {
        const char* program;
        bool writable;
        bool holdsFile;
        const char* expected;
    };
    const char* data = "/home/u/.local/share/quillon";
    const Row rows[] = {
        {"/home/u/src/quillon/build/src", true, false, "/home/u/src/quillon/build/src"},
        {"/opt/quillon", true, true, "/opt/quillon"},
        {"/opt/quillon", false, true, "/opt/quillon"},
        {"/opt/quillon", false, false, data},
        {"/home/u/.local/bin", true, false, data},
        {"/home/u/.local/bin/", true, true, data},
        {"/usr/bin", false, false, data},
        {"/home/u/cabinet", true, false, "/home/u/cabinet"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(help::ChooseHelpFolder(QString::fromUtf8(row.program), row.writable, row.holdsFile,
                                         QString::fromUtf8(data)),
                  QString::fromUtf8(row.expected))
            << row.program;
}

TEST(HelpFolder, UnwritableTargetWritesNothingAndDoesNotFail)
{
    EXPECT_FALSE(help::WriteHelpFileIfMissing(QStringLiteral("/nonexistent-folder/ReadMe.txt")));
}

}  // namespace
