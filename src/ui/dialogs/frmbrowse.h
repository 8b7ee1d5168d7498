#pragma once

#include "platform/VbText.h"

#include <QDialog>
#include <QString>

class QComboBox;
class QFileSystemModel;
class QLineEdit;
class QModelIndex;
class QPushButton;
class QTreeView;
class Session;

// The folder browser of the editors: a drive list, the directory tree of the current drive
// and the chosen path. A new one is made for every browse: Load, SetStartPath, exec. OK (or
// Enter, or a double click on a folder) accepts it with ChosenPath; Cancel rejects it.
class frmbrowse final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmbrowse)
public:
    explicit frmbrowse(Session &session, QWidget *parent = nullptr);

    // The captions, the drive list, and the lists at the process's current directory.
    bool Load();

    // Presets the directory list and the path field to path. False, with nothing preset,
    // when path is not an existing directory: the browser then opens where it stands.
    bool SetStartPath(const QString &path);

    // The current path of the directory list.
    QString DirPath() const { return m_dirPath; }

    // The volume root ("drive") that holds path; empty when path does not exist.
    static QString DriveOf(const QString &path);

    // After an accepted exec: the path field's text as OK found it, unchecked; from an empty
    // field, the highlighted folder (without one, OK rejects).
    QString ChosenPath() const { return m_chosenPath; }

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ScrollToCurrent();
    void FillDrives();
    void Drive1_Change(int index);
    void Dir1_Change(const QModelIndex &current);
    // A double click chooses the folder clicked, as if it were highlighted and OK pressed.
    void Dir1_DblClick(const QModelIndex &index);
    void cmdOK_Click();
    void cmdCancel_Click();

    // Moves the directory list to path (tree root, Drive1 and selection follow) without
    // raising its change event. Fails as a directory list does for a path it cannot show.
    Result<void> SetDir1Path(const QString &path);
    // Why path cannot become the directory list's path, as a failure; success when it can.
    Result<void> CheckDir(const QString &path) const;
    // Shows drive root in Drive1 without raising the drive change.
    void ShowDrive(const QString &root);

    Session &m_session;
    QString m_dirPath;
    QString m_chosenPath;
    bool m_movingDir = false; // true while the program, not the user, moves the tree
    // The program keeps the current folder in sight only until the user scrolls or clicks:
    // from then on nothing moves under the mouse.
    bool m_keepInSight = true;

    QComboBox *Drive1;
    QTreeView *Dir1;
    QLineEdit *txtpath;
    QPushButton *cmdOK;
    QPushButton *cmdCancel;
    QFileSystemModel *m_dirModel;
};
