#pragma once

#include <QComboBox>
#include <QTreeView>

class QFileSystemModel;

// The drive combo box: the mounted volumes, each shown by its name and mount
// point (the mount point alone when it has no name), with the volume of a
// given directory first.
class DriveComboBox : public QComboBox
{
    Q_OBJECT

public:
    explicit DriveComboBox(const QString &firstVolumeOf, QWidget *parent = nullptr);

    // The mount point of the chosen volume.
    QString drive() const;
    // Chooses the volume that holds `path`.
    void setDrive(const QString &path);

signals:
    // The user chose another volume; `root` is its mount point.
    void driveChanged(const QString &root);
};

// The directory list box: the folder tree of one volume, from its mount point
// down, in which one folder is chosen.
class DirectoryListBox : public QTreeView
{
    Q_OBJECT

public:
    explicit DirectoryListBox(QWidget *parent = nullptr);

    // Shows the volume whose mount point is `root`; the folder chosen is the
    // current directory when it lies on that volume, else the mount point.
    void setDrive(const QString &root);
    // Chooses a folder, showing its volume.
    void setDirectory(const QString &path);
    // The folder chosen.
    QString directory() const;

private:
    void showOnly(const QString &root);
    void hideOthers(const QModelIndex &parent, int first, int last);

    QFileSystemModel *m_model;
    QString m_root;
};
