#include "DriveLists.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QSet>
#include <QStorageInfo>

namespace {

QString label(const QStorageInfo &volume)
{
    return volume.name().isEmpty() ? volume.rootPath()
                                   : QStringLiteral("%1 (%2)").arg(volume.name(), volume.rootPath());
}

QString absolute(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace

DriveComboBox::DriveComboBox(const QString &firstVolumeOf, QWidget *parent) : QComboBox(parent)
{
    const QStorageInfo first(firstVolumeOf);
    addItem(label(first), first.rootPath());
    QSet<QString> listed{first.rootPath()};
    // Mount points only: files mounted on their own (as in containers) are no drives.
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady() || listed.contains(volume.rootPath()) ||
            !QFileInfo(volume.rootPath()).isDir())
            continue;
        listed.insert(volume.rootPath());
        addItem(label(volume), volume.rootPath());
    }
    connect(this, &QComboBox::activated, this, [this] { emit driveChanged(drive()); });
}

QString DriveComboBox::drive() const
{
    return currentData().toString();
}

void DriveComboBox::setDrive(const QString &path)
{
    const QStorageInfo volume(path);
    int index = findData(volume.rootPath());
    if (index < 0) {
        addItem(label(volume), volume.rootPath());
        index = count() - 1;
    }
    setCurrentIndex(index);
}

DirectoryListBox::DirectoryListBox(QWidget *parent) : QTreeView(parent), m_model(new QFileSystemModel(this))
{
    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_model->setReadOnly(true);
    setModel(m_model);
    setHeaderHidden(true);
    for (int column = 1; column < m_model->columnCount(); ++column)
        hideColumn(column);
    connect(m_model, &QFileSystemModel::rowsInserted, this, &DirectoryListBox::hideOthers);
    // Folders are read in the background: the chosen one stays in view as
    // those above it fill in.
    connect(m_model, &QFileSystemModel::directoryLoaded, this, [this] { scrollTo(currentIndex()); });
}

void DirectoryListBox::setDrive(const QString &root)
{
    const QString current = QDir::currentPath();
    setDirectory(QStorageInfo(current).rootPath() == root ? current : root);
}

void DirectoryListBox::setDirectory(const QString &path)
{
    const QString root = QStorageInfo(path).rootPath();
    if (root != m_root)
        showOnly(root);
    const QModelIndex index = m_model->index(absolute(path));
    for (QModelIndex above = index.parent(); above.isValid(); above = above.parent())
        expand(above);
    setCurrentIndex(index);
    expand(index);
    scrollTo(index);
}

QString DirectoryListBox::directory() const
{
    const QModelIndex index = currentIndex();
    return index.isValid() ? m_model->filePath(index) : m_root;
}

void DirectoryListBox::showOnly(const QString &root)
{
    // The tree starts at the volume's mount point: the folder above it is the
    // tree's root, and every other folder in it is hidden.
    m_root = root;
    m_model->setRootPath(root);
    const QModelIndex top = m_model->index(root);
    setRootIndex(top.parent());
    hideOthers(top.parent(), 0, m_model->rowCount(top.parent()) - 1);
    expand(top);
}

void DirectoryListBox::hideOthers(const QModelIndex &parent, int first, int last)
{
    if (parent != rootIndex())
        return;
    for (int row = first; row <= last; ++row)
        setRowHidden(row, parent, m_model->filePath(m_model->index(row, 0, parent)) != m_root);
}
