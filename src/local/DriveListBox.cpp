#include "local/DriveListBox.h"

#include <QStorageInfo>

namespace {

bool isUserVolume(const QStorageInfo& volume)
{
    static const QStringList pseudo = {"proc", "sysfs", "devpts", "cgroup", "cgroup2", "mqueue",
                                       "securityfs", "debugfs", "tracefs", "pstore", "bpf", "overlay",
                                       "autofs", "configfs", "fusectl", "hugetlbfs", "binfmt_misc",
                                       "devtmpfs", "nsfs", "squashfs"};
    const QString root = volume.rootPath();
    if (root == QLatin1String("/"))
        return true;
    if (!volume.isValid() || pseudo.contains(QString::fromLatin1(volume.fileSystemType())))
        return false;
    return !root.startsWith(QLatin1String("/proc")) && !root.startsWith(QLatin1String("/sys")) &&
           !root.startsWith(QLatin1String("/dev")) && !root.startsWith(QLatin1String("/run"));
}

QString driveText(const QStorageInfo& volume)
{
    const QString label = volume.name();
    return label.isEmpty() ? volume.rootPath() : volume.rootPath() + QStringLiteral(" [") + label + ']';
}

}  // namespace

DriveListBox::DriveListBox(QWidget* parent) : QComboBox(parent)
{
    refresh();
    connect(this, &QComboBox::currentIndexChanged, this, [this] { emit Change(); });
}

QString DriveListBox::drive() const { return currentText(); }

QString DriveListBox::mountPoint(const QString& drive)
{
    const int label = drive.indexOf(QLatin1String(" ["));
    return label < 0 ? drive : drive.left(label);
}

void DriveListBox::setDrive(const QString& drive)
{
    int index = findText(drive);
    for (int i = 0; index < 0 && i < count(); ++i) {
        if (mountPoint(itemText(i)) == drive)
            index = i;
    }
    if (index < 0) {
        addItem(drive);
        index = count() - 1;
    }
    if (index == currentIndex())
        emit Change();  // choosing the same drive again still re-reads it
    else
        setCurrentIndex(index);
}

void DriveListBox::refresh()
{
    const QString kept = currentText();
    QStringList drives{QStringLiteral("/")};
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (isUserVolume(volume) && volume.rootPath() != QLatin1String("/"))
            drives.append(driveText(volume));
    }
    drives.removeDuplicates();
    const QSignalBlocker quiet(this);
    clear();
    addItems(drives);
    const int index = findText(kept);
    setCurrentIndex(index < 0 ? 0 : index);
}
