#include "ui/dialogs/frmbrowse.h"

#include "app/Session.h"
#include "ui/Controls.h"

#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStorageInfo>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

// The errors a directory list raises, numbered as users of the suite know them.
Failure PathNotFound(Session &s) { return {ErrorNumber::PathNotFound, s.Text("CS_BROWSE_PATH_NOT_FOUND")}; }
Failure DeviceUnavailable(Session &s) { return {ErrorNumber::DeviceUnavailable, s.Text("CS_BROWSE_DEVICE_UNAVAILABLE")}; }
Failure PermissionDenied(Session &s) { return {ErrorNumber::PermissionDenied, s.Text("CS_BROWSE_PERMISSION_DENIED")}; }

QString CleanAbsolute(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace

frmbrowse::frmbrowse(Session &session, QWidget *parent) : QDialog(parent), m_session(session)
{
    setObjectName(QStringLiteral("frmbrowse"));
    setWindowTitle(QStringLiteral("Browse for folder"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    Drive1 = new QComboBox(this);
    Drive1->setObjectName(QStringLiteral("Drive1"));

    m_dirModel = new QFileSystemModel(this);
    m_dirModel->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Hidden);
    m_dirModel->setReadOnly(true);

    Dir1 = new QTreeView(this);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    Dir1->setModel(m_dirModel);
    Dir1->setHeaderHidden(true);
    for (int column = 1; column < m_dirModel->columnCount(); ++column)
        Dir1->hideColumn(column);
    // A double click chooses the folder; the branch arrows and the keyboard open folders.
    Dir1->setExpandsOnDoubleClick(false);
    Dir1->setSortingEnabled(true);
    Dir1->sortByColumn(0, Qt::AscendingOrder);

    txtpath = new QLineEdit(this);
    txtpath->setObjectName(QStringLiteral("txtpath"));

    cmdOK = Controls::Make<QPushButton>(this, QStringLiteral("cmdOK"), QStringLiteral("OK"), "SLBL0254");
    cmdCancel = Controls::Make<QPushButton>(this, QStringLiteral("cmdCancel"), QStringLiteral("Cancel"), "SLBL0428");
    Controls::SetLabel(this, "SLBL0497");
    // Enter chooses, wherever it is pressed but on Cancel.
    cmdOK->setDefault(true);
    Controls::SetAccessibleLabel(Drive1, "CS_ACCESSIBLE_DRIVE");
    Controls::SetAccessibleLabel(Dir1, "CS_ACCESSIBLE_FOLDERS");
    Controls::SetAccessibleLabel(txtpath, "CS_ACCESSIBLE_FOLDER_PATH");

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Drive1);
    layout->addWidget(Dir1, 1);
    layout->addWidget(txtpath);
    layout->addLayout(buttons);
    resize(360, 400);

    // Folders appear and are sorted as they are read; keep the current one in sight.
    connect(m_dirModel, &QFileSystemModel::directoryLoaded, this, &frmbrowse::ScrollToCurrent);
    connect(m_dirModel, &QAbstractItemModel::layoutChanged, this, &frmbrowse::ScrollToCurrent);
    connect(Drive1, &QComboBox::activated, this, &frmbrowse::Drive1_Change);
    connect(Dir1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) { Dir1_Change(current); });
    connect(Dir1, &QTreeView::doubleClicked, this, &frmbrowse::Dir1_DblClick);
    Dir1->viewport()->installEventFilter(this);
    connect(Dir1->verticalScrollBar(), &QScrollBar::actionTriggered, this, [this] { m_keepInSight = false; });
    connect(cmdOK, &QPushButton::clicked, this, &frmbrowse::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmbrowse::cmdCancel_Click);
}

bool frmbrowse::Load()
{
    // The localised captions; the path field stays empty until the list moves.
    Controls::Localise(m_session, *this);

    FillDrives();
    // Without a preset the lists stand at the process's current directory.
    if (!SetDir1Path(QDir::currentPath()))
        (void)SetDir1Path(QDir::rootPath());

    return true;
}

bool frmbrowse::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Dir1->viewport()
        && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::Wheel))
        m_keepInSight = false;
    return QDialog::eventFilter(watched, event);
}

void frmbrowse::ScrollToCurrent()
{
    if (m_keepInSight && Dir1->currentIndex().isValid())
        Dir1->scrollTo(Dir1->currentIndex(), QAbstractItemView::PositionAtCenter);
}

void frmbrowse::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // The list has its final height only once the window is laid out.
    QTimer::singleShot(0, this, &frmbrowse::ScrollToCurrent);
}

QString frmbrowse::DriveOf(const QString &path)
{
    if (path.isEmpty() || !QFileInfo::exists(path))
        return QString();
    const QStorageInfo volume(path);
    return volume.isValid() ? volume.rootPath() : QString();
}

void frmbrowse::FillDrives()
{
    Drive1->clear();
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid())
            continue;
        const QString root = volume.rootPath();
        const QString name = volume.name();
        Drive1->addItem(name.isEmpty() || name == root ? root : root + QStringLiteral(" [") + name + u']', root);
    }
}

void frmbrowse::ShowDrive(const QString &root)
{
    int index = Drive1->findData(root);
    if (index < 0 && !root.isEmpty()) {
        // A volume mounted after the list was filled.
        Drive1->addItem(root, root);
        index = Drive1->count() - 1;
    }
    const QSignalBlocker block(Drive1);
    Drive1->setCurrentIndex(index);
}

Result<void> frmbrowse::CheckDir(const QString &path) const
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists() || !info.isDir())
        return PathNotFound(m_session);
    if (!info.isReadable() || !info.isExecutable())
        return PermissionDenied(m_session);
    return {};
}

Result<void> frmbrowse::SetDir1Path(const QString &path)
{
    if (Result<void> usable = CheckDir(path); !usable)
        return usable;
    m_keepInSight = true;
    const QString target = CleanAbsolute(path);
    const QString drive = DriveOf(target);

    m_movingDir = true;
    if (drive != DriveOf(m_dirPath) || Dir1->rootIndex() == QModelIndex()) {
        m_dirModel->setRootPath(drive);
        Dir1->setRootIndex(m_dirModel->index(drive));
    }
    ShowDrive(drive);
    // Only the chain down to the new folder stays open, as a directory list shows it.
    Dir1->collapseAll();
    const QModelIndex index = m_dirModel->index(target);
    if (target == drive || !index.isValid()) {
        Dir1->clearSelection();
        Dir1->setCurrentIndex(QModelIndex());
    } else {
        Dir1->setCurrentIndex(index);
        Dir1->scrollTo(index);
    }
    m_movingDir = false;
    m_dirPath = target;
    return {};
}

bool frmbrowse::SetStartPath(const QString &path)
{
    if (!SetDir1Path(path))
        return false;
    txtpath->setText(path);
    return true;
}

void frmbrowse::Drive1_Change(int index)
{
    const QString rememberedDrive = DriveOf(m_dirPath);
    const QString root = Drive1->itemData(index).toString();
    // The drive already shown keeps its folder and the path typed for it.
    if (!root.isEmpty() && root == rememberedDrive)
        return;
    const QStorageInfo volume(root);
    const Result<void> moved = !volume.isValid() || !volume.isReady() || !QFileInfo(root).isDir()
                                   ? DeviceUnavailable(m_session)
                                   : SetDir1Path(root);
    if (!moved) {
        m_session.MsgBox(this, m_session.Text(moved.error().Text()), MsgIcon::Exclamation, MsgButtons::Ok);
        ShowDrive(rememberedDrive);
        return;
    }
    // The directory list moved: its change shows the new path.
    txtpath->setText(m_dirPath);
}

void frmbrowse::Dir1_Change(const QModelIndex &current)
{
    if (m_movingDir || !current.isValid())
        return;
    const QString remembered = txtpath->text();
    const QString previousDir = m_dirPath;
    // The user's own move only highlights: the tree stays as it is under the mouse.
    const Result<void> usable = CheckDir(m_dirModel->filePath(current));
    if (usable) {
        m_keepInSight = false;
        m_dirPath = CleanAbsolute(m_dirModel->filePath(current));
        ShowDrive(DriveOf(m_dirPath));
        txtpath->setText(m_dirPath);
        return;
    }
    m_session.MsgBox(this, m_session.Text(usable.error().Text()), MsgIcon::Exclamation, MsgButtons::Ok);
    // The path field still holds the remembered text; the list goes back to the folder it
    // names, or to where it stood when the field names none.
    if (!SetDir1Path(remembered))
        (void)SetDir1Path(previousDir);
}

void frmbrowse::Dir1_DblClick(const QModelIndex &index)
{
    if (!index.isValid())
        return;
    // The folder under the mouse, whatever the first click of the two did.
    if (Dir1->currentIndex() != index)
        Dir1->setCurrentIndex(index);
    if (m_dirPath == CleanAbsolute(m_dirModel->filePath(index)))
        cmdOK_Click();
}

void frmbrowse::cmdOK_Click()
{
    QString path = txtpath->text();
    // Without a path the owner's field stays as it was, unless a folder is highlighted.
    if (Vb::Trim(path).isEmpty()) {
        const QModelIndex highlighted = Dir1->currentIndex();
        if (!highlighted.isValid() || !Dir1->selectionModel()->isSelected(highlighted)) {
            reject();
            return;
        }
        path = CleanAbsolute(m_dirModel->filePath(highlighted));
    }
    m_chosenPath = path;
    accept();
}

void frmbrowse::cmdCancel_Click() { reject(); }
