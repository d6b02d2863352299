// The local branches of make, delete and rename, through the real window
// against a temporary directory.
#include "app/StatusPanels.h"
#include "local/DirListBox.h"
#include "local/FileListBox.h"
#include "support/window_fixture.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFocusEvent>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

using namespace testsupport;

namespace {

// Makes a directory unwritable even for root (immutable), for its lifetime.
class Unwritable {
public:
    explicit Unwritable(const QString& path) : m_path(path)
    {
        if (::geteuid() != 0) {
            m_ok = QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner);
            return;
        }
        m_fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY);
        int flags = 0;
        if (m_fd >= 0 && ::ioctl(m_fd, FS_IOC_GETFLAGS, &flags) == 0) {
            m_flags = flags;
            flags |= FS_IMMUTABLE_FL;
            m_ok = ::ioctl(m_fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
    }
    ~Unwritable()
    {
        if (m_fd < 0) {
            QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            return;
        }
        if (m_ok)
            ::ioctl(m_fd, FS_IOC_SETFLAGS, &m_flags);
        ::close(m_fd);
    }
    bool ok() const { return m_ok; }

private:
    QString m_path;
    int m_fd = -1;
    int m_flags = 0;
    bool m_ok = false;
};

class LocalCommands : public FakeWindowTest {
protected:
    // Answers the chooser with 本地机 and the input box with answer, then clicks.
    void runLocal(void (frmMain::*handler)(), const QString& answer = {})
    {
        person.modalScripts = {[](QDialog* dialog) {
            ScriptedToolkit::click(dialog, "optLocal");
            ScriptedToolkit::click(dialog, "cmdOption");
        }};
        person.inputAnswers = {answer};
        (window.get()->*handler)();
    }
    QString at(const QString& name) const { return localRoot.filePath(name); }
    void showFiles()
    {
        if (window->filLocal->path() != window->dirLocal->path())
            window->filLocal->setPath(window->dirLocal->path());
    }
    int subdirIndex(const QString& name) const
    {
        for (int i = 0; i < window->dirLocal->listCount(); ++i) {
            if (window->dirLocal->list(i) == at(name))
                return i;
        }
        return -100;
    }
    QString hint(const QString& text) const { return QStringLiteral("提示: ") + text; }
};

TEST_F(LocalCommands, MakeInTheOpenOrTheHighlightedDirectory)
{
    const QString before = panel1();
    runLocal(&frmMain::cmdMdDir_Click, "x");
    ASSERT_EQ(person.inputBoxes.size(), 1);
    EXPECT_EQ(person.inputBoxes[0].prompt,
              QStringLiteral("请输入要创建目录的名字\r\n本地计算机指定目录是：") + localRoot.path());
    EXPECT_EQ(person.inputBoxes[0].title, QStringLiteral("在本地计算机上创建目录"));
    EXPECT_TRUE(QFileInfo(at("x")).isDir());
    EXPECT_GE(subdirIndex("x"), 0) << "the pane lists it";

    highlightLocalDir(subdirIndex("x"));
    runLocal(&frmMain::cmdMdDir_Click, " y ");
    EXPECT_TRUE(QFileInfo(at("x/ y ")).isDir()) << "inside the highlighted one, name as typed";
    EXPECT_FALSE(QFileInfo::exists(at(" y ")));
    EXPECT_EQ(panel1(), before) << "no hint on success";

    runLocal(&frmMain::cmdMdDir_Click, "");
    EXPECT_EQ(QDir(localRoot.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"x"});
}

TEST_F(LocalCommands, FailuresNameTheReasonAndChangeNothing)
{
    QDir().mkpath(at("x/inner"));
    writeFile(at("a.txt"), "A");
    writeFile(at("b.txt"), "B");
    window->dirLocal->refresh();
    showFiles();

    runLocal(&frmMain::cmdMdDir_Click, "x");
    EXPECT_EQ(panel1(), hint("创建目录失败：同名的文件或目录已存在"));
    runLocal(&frmMain::cmdMdDir_Click, QString(300, 'n'));
    EXPECT_EQ(panel1(), hint("创建目录失败：名称过长"));

    highlightLocalDir(subdirIndex("x"));
    runLocal(&frmMain::cmdDelDir_Click);
    EXPECT_EQ(panel1(), hint("删除目录失败：目录不为空"));
    EXPECT_TRUE(QFileInfo(at("x/inner")).isDir());

    selectLocalFile("a.txt");
    runLocal(&frmMain::cmdNameFile_Click, "b.txt");
    EXPECT_EQ(panel1(), hint("重命名失败：同名的文件或目录已存在"));
    EXPECT_EQ(readFile(at("a.txt")), "A");
    EXPECT_EQ(readFile(at("b.txt")), "B");

    // The window goes on working after the refusals.
    runLocal(&frmMain::cmdNameFile_Click, "c.txt");
    EXPECT_EQ(panel1(), hint("重命名操作完成！"));
    EXPECT_EQ(readFile(at("c.txt")), "A");
}

TEST_F(LocalCommands, NoPermissionIsReported)
{
    QDir().mkpath(at("ro/sub"));
    writeFile(at("ro/f.txt"), "F");
    openLocalDir(at("ro"));
    showFiles();
    Unwritable guard(at("ro"));
    if (!guard.ok())
        GTEST_SKIP() << "this file system cannot make a directory unwritable for this user";

    runLocal(&frmMain::cmdMdDir_Click, "new");
    EXPECT_EQ(panel1(), hint("创建目录失败：没有权限"));
    selectLocalFile("f.txt");
    runLocal(&frmMain::cmdDelFile_Click);
    EXPECT_EQ(panel1(), hint("删除文件失败：没有权限"));
    selectLocalFile("f.txt");
    runLocal(&frmMain::cmdNameFile_Click, "g.txt");
    EXPECT_EQ(panel1(), hint("重命名失败：没有权限"));
    highlightLocalDir(0);
    runLocal(&frmMain::cmdDelDir_Click);
    EXPECT_EQ(panel1(), hint("删除目录失败：没有权限"));

    EXPECT_EQ(QDir(at("ro")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList({"f.txt", "sub"}));
    EXPECT_EQ(window->filLocal->listCount(), 1);
}

TEST_F(LocalCommands, DeleteFileOrHighlightedSubdirectory)
{
    writeFile(at("a.txt"), "A");
    QDir().mkpath(at("empty"));
    window->dirLocal->refresh();
    showFiles();
    const QString before = panel1();

    runLocal(&frmMain::cmdDelFile_Click);  // no file highlighted
    EXPECT_TRUE(QFile::exists(at("a.txt")));
    // Tabbing into the list puts its current row on the first file, unhighlighted.
    window->filLocal->refresh();
    QFocusEvent tabIn(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(window->filLocal, &tabIn);
    ASSERT_EQ(window->filLocal->currentRow(), 0);
    runLocal(&frmMain::cmdDelFile_Click);
    EXPECT_TRUE(QFile::exists(at("a.txt"))) << "the keyboard's focus only passed over it";
    selectLocalFile("a.txt");
    runLocal(&frmMain::cmdDelFile_Click);
    EXPECT_FALSE(QFile::exists(at("a.txt")));
    EXPECT_EQ(window->filLocal->listCount(), 0) << "the file pane is refreshed";
    EXPECT_EQ(panel1(), before);

    for (int index : {-1, -2}) {
        highlightLocalDir(index);
        runLocal(&frmMain::cmdDelDir_Click);
        EXPECT_EQ(panel1(), hint("不允许删除该目录")) << index;
        EXPECT_TRUE(QDir(localRoot.path()).exists());
    }
    highlightLocalDir(subdirIndex("empty"));
    runLocal(&frmMain::cmdDelDir_Click);
    EXPECT_FALSE(QFileInfo::exists(at("empty")));
    EXPECT_EQ(window->dirLocal->listCount(), 0);
    EXPECT_EQ(person.msgBoxes.size(), 0) << "no confirmation";
}

TEST_F(LocalCommands, RenameFileAndDirectories)
{
    writeFile(at("old.txt"), "O");
    QDir().mkpath(at("sub"));
    window->dirLocal->refresh();
    showFiles();

    runLocal(&frmMain::cmdNameFile_Click, "new.txt");
    EXPECT_EQ(panel1(), hint("请选择要重命名的文件！"));
    selectLocalFile("old.txt");
    runLocal(&frmMain::cmdNameFile_Click, "   ");
    EXPECT_EQ(panel1(), hint("重命名操作已取消"));
    selectLocalFile("old.txt");
    runLocal(&frmMain::cmdNameFile_Click, "new.txt");
    ASSERT_EQ(person.inputBoxes.size(), 2);
    EXPECT_EQ(person.inputBoxes[1].prompt, QStringLiteral("请输入新的名称："));
    EXPECT_EQ(person.inputBoxes[1].title, QStringLiteral("在本地机重命名"));
    EXPECT_EQ(person.inputBoxes[1].defaultText, QStringLiteral("old.txt"));
    EXPECT_EQ(readFile(at("new.txt")), "O");
    EXPECT_EQ(window->filLocal->list(0), QStringLiteral("new.txt"));
    EXPECT_EQ(panel1(), hint("重命名操作完成！"));

    highlightLocalDir(subdirIndex("sub"));
    runLocal(&frmMain::cmdNameDir_Click, "renamed");
    EXPECT_EQ(person.inputBoxes.last().defaultText, QStringLiteral("sub"));
    EXPECT_TRUE(QFileInfo(at("renamed")).isDir());
    EXPECT_EQ(window->dirLocal->list(0), at("renamed"));
    EXPECT_EQ(window->dirLocal->path(), localRoot.path());

    // The open directory itself: the pane follows it to its new name.
    openLocalDir(at("renamed"));
    runLocal(&frmMain::cmdNameDir_Click, "moved");
    EXPECT_TRUE(QFileInfo(at("moved")).isDir());
    EXPECT_FALSE(QFileInfo::exists(at("renamed")));
    EXPECT_EQ(window->dirLocal->path(), at("moved"));
    EXPECT_EQ(panel1(), hint("重命名操作完成！"));
}

TEST_F(LocalCommands, CancelledChooserDoesNothing)
{
    writeFile(at("a.txt"), "A");
    showFiles();
    selectLocalFile("a.txt");
    const QString before = panel1();
    for (auto handler : {&frmMain::cmdMdDir_Click, &frmMain::cmdDelFile_Click, &frmMain::cmdDelDir_Click,
                         &frmMain::cmdNameFile_Click, &frmMain::cmdNameDir_Click}) {
        person.modalScripts = {[](QDialog* dialog) { ScriptedToolkit::click(dialog, "cmdCancel"); }};
        (window.get()->*handler)();
    }
    EXPECT_EQ(panel1(), before);
    EXPECT_TRUE(person.inputBoxes.isEmpty());
    EXPECT_TRUE(QFile::exists(at("a.txt")));
}

}  // namespace
