#pragma once

#include "platform/FileIo.h"

#include <QDialog>
#include <QList>
#include <QPointer>
#include <QStringList>
#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class Session;
class frmbrowse;

// The editor of the joint (merge-and-split) configuration file at path. It keeps no record:
// every value goes from the file into its control and back, key by key. Controls that exist
// per application are pairs, indexed by the product's place in merge and split (Products.h);
// what each product has is read from the product table.
// Constructing it builds the window only; Load fills it from the file.
class frmEditConfigurationMergeSplit final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmEditConfigurationMergeSplit)
public:
    frmEditConfigurationMergeSplit(Session &session, const QString &path, QWidget *parent = nullptr);
    ~frmEditConfigurationMergeSplit() override;

    // Reads both sections of the file into the controls. A key the file lacks (or a file
    // that is not there) leaves its control empty, so the editor can make it.
    void Load();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Escape with changes asks, as the single editor does, before dropping them.
    void keyPressEvent(QKeyEvent *event) override;

private:
    QString GetAttributeValueFromTSY(const QString &section, const QString &key) const;
    // Collects one key for the save, which writes them all at once.
    void WriteAttributeValueToTSY(const QString &section, const QString &key, const QString &value);

    void FillPlatformLists();
    // The controls of one place of the pair from its product's section, and back.
    void LoadApplicationSettings(int index);
    void SaveApplicationSettings(int index);
    bool ValidateSettings();
    void FocusFirstField();
    void BuildWindow();
    QWidget *BuildDatabaseFrame(int index, const QString &frameName);
    QWidget *BuildWebDirectoryFrame(QWidget *tab);
    QWidget *BuildLogFrame(int index, const QString &frameName);
    QWidget *BuildLedgerhallTab();
    void ApplyPlatformRule();
    void Browse(int target);
    void bOk_Click();
    void ChkSavePass_Click();
    // Whether section index stores its password: the box when the user set it, else what
    // that section's file said.
    bool SavesPassword(int index) const;
    // Everything the user can change, to tell whether anything was.
    QStringList Snapshot() const;

    Session &m_session;
    QString m_path;

    QTabWidget *SSTab1 = nullptr;
    std::array<QComboBox *, 2> ComboPlatform{};
    std::array<QLineEdit *, 2> txtdsn{}, txtdatabase{}, txtmachine{}, txtusername{}, txtpassword{},
        txtLogpath{}, txtconnection{}, txtBatch{};
    std::array<QLabel *, 2> lblPlatform{}, lblDSN{}, lblDatabase{}, lblmachine{}, lblUsername{},
        lblPassword{};
    std::array<QPushButton *, 2> BtnBrowseLog{}, cmdTestConnection{};
    QLineEdit *txtDelay = nullptr;        // of the product with hasXmlDelay
    QLineEdit *txtwebdirectory = nullptr; // of the product with hasWebDirectory
    QPushButton *cmdBrowse2 = nullptr;
    QCheckBox *ChkSavePass = nullptr;
    QCheckBox *ChkAutoLogin = nullptr;
    QPushButton *bOk = nullptr;
    QPushButton *bCancel = nullptr;

    QPointer<frmbrowse> oFrmBrowse;
    // savepass of each section as loaded; the shared box shows "partly" when they differ.
    std::array<bool, 2> m_savePass{};
    QStringList m_loaded;
    // The file as read; a save replaces it only while it still holds this.
    FileIo::FileVersion m_version;
    QString m_text;
    struct PendingWrite
    {
        QString section, key, value;
    };
    QList<PendingWrite> m_writes;
};
