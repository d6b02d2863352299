#pragma once
// The drive list: the mounted volumes, the root file system "/" first,
// each shown by its mount point (with its label where it has one).

#include <QComboBox>

class DriveListBox : public QComboBox {
    Q_OBJECT
public:
    explicit DriveListBox(QWidget* parent = nullptr);

    // The selected drive as shown ("/", "/mnt/usb [STICK]").
    QString drive() const;
    // Selects the drive whose text or mount point is given, adding it when
    // it is not listed; raises Change when the selection moves.
    void setDrive(const QString& drive);
    // The mount point of a drive text ("/mnt/usb [STICK]" gives "/mnt/usb").
    static QString mountPoint(const QString& drive);
    // Re-reads the mounted volumes, keeping the selection.
    void refresh();

signals:
    void Change();
};
