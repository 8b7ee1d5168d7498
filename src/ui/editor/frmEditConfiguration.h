#pragma once

#include "config/ConfigRecord.h"
#include "platform/FileIo.h"

#include <QDialog>
#include <QString>

#include <span>

class EditorLineEdit;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QTabBar;
class Session;

// The editor of one ordinary configuration file: the file at path, or a new configuration
// when path is empty. The caller runs Load, then shows it modally, and afterwards reads what
// was saved: SavedPath and Record.
class frmEditConfiguration final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmEditConfiguration)
public:
    frmEditConfiguration(Session &session, const QString &path, QWidget *parent = nullptr);
    ~frmEditConfiguration() override;

    // Fills the window: texts, lists, then the file. A file that cannot be read whole is
    // reported and what was read stays in the form, which opens all the same; false only
    // when the program was ended meanwhile.
    bool Load();

    // The file the last save wrote (a new configuration's after its first save); empty while
    // nothing was saved.
    const QString &SavedPath() const { return m_savedPath; }
    // The configuration as the last load or save left it: what the file holds, as far as
    // this window knows.
    const ConfigRecord &Record() const { return m_config; }

protected:
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Escape with unsaved changes asks whether to save them.
    void keyPressEvent(QKeyEvent *event) override;

private:
    // Fills the controls and the record from the file; an empty path is a new configuration
    // (the record initialised). Fails, saying what was not read, when the file could not be
    // read to its end; what was read stays.
    Result<void> LoadConfiguration(const QString &ConfigFilePath);
    // Tells a failed load: SLBL0167 and what was not read.
    void ReportLoadError(const Failure &error);
    // Writes the file of the window from the controls; without a file yet it first asks for
    // a name, and the file named becomes the window's. False, with the window to stay open,
    // when nothing was written.
    bool SaveConfiguration();
    void InitializePC();
    bool ConfigDataChanged();
    // The message of a failed write, before the file and the reason.
    QString WriteFailureText() const;
    // The other version of the file, after the user chose it over their own typing.
    void ReloadFromFile(QString path);

    void FillLists();
    // The tool tips' label identifiers, given their texts by the localisation.
    void SetToolTipLabels();
    // The platform rule: the database and server labels follow the chosen platform.
    void SetDatabaseLabels();
    // Length of the component name in "cn=<name>, o=<root>": from the 4th character up to
    // the first comma; 0 when no comma follows.
    static int ComponentNameLength(const QString &text);

    // One text field of the window: where its value lives in the record, its label and box
    // (named as the users' documentation names them), the label's text, its tab (0 Database,
    // 1 Ledgerhall), its group frame on the second tab, its tip and its rules. Load, save,
    // the comparison, the checks and the layout all go by this table.
    struct TextField
    {
        QString ConfigRecord::*member;
        QLabel *frmEditConfiguration::*label;
        EditorLineEdit *frmEditConfiguration::*box;
        const char *labelName, *caption, *labelId, *boxName;
        int tab;
        QGroupBox *frmEditConfiguration::*frame;
        const char *tipId;
        // Saved trimmed; compared as typed (the password: blanks are a change) or trimmed.
        bool comparedAsTyped;
        // Must be given before a save.
        bool required;
    };
    static std::span<const TextField> TextFields();

    void BuildControls();
    // Page 1: the application and platform lists, then the text fields of the first tab.
    void BuildDatabasePage();
    // Page 2: three group frames with their caption labels, each holding its text field.
    void BuildLedgerhallPage();
    // The window's least size: what its texts need, on either page.
    void FixSize();
    void SetTabOrder();
    void CoverFrameCaptions();

    // Event rules of the window.
    void ComboApplication_Click();
    void ChkSavePass_Click();
    void TSConfig_Click();
    void ShowPage(int tab);
    // The first field that takes input on a tab.
    QWidget *FirstField(int tab) const;
    // Shows the tab that holds field and puts the focus in it.
    void GoToField(QWidget *field);
    // Application, DSN, database and user must be given; a missing one is named and focused.
    bool RequiredFieldsGiven();
    // Fills field with the folder the user browses to.
    void cmdBrowse_Click(EditorLineEdit *field);
    // Connects as the Java server's start would with the values shown, and says how it went.
    void cmdTestConnection_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

    // The controls' values laid over record, as Save stores them.
    void ApplyControlsTo(ConfigRecord &record) const;
    // The text fields, trimmed where the table says so.
    void CopyTextsTo(ConfigRecord &record) const;
    QString PlatformCode() const;
    // The product of the application list's choice; null for the empty entry or none.
    const Product *ChosenProduct() const;
    // A refusal naming the field whose value a configuration file cannot hold; the field
    // gets the focus. Empty when the record may be written.
    QString WhyFieldsNotWritable(const ConfigRecord &record);

    Session &m_session;
    // The file edited; empty until a new configuration is first saved.
    QString m_path;
    QString m_savedPath;
    // The name the window shows: the file's, or the proposed name of a new configuration.
    QString m_name;
    ConfigRecord m_config;
    // The last load stopped before the end of the file.
    bool m_loadIncomplete = false;
    // The file as the last load or save left it; a save replaces it only while it is so.
    FileIo::FileVersion m_loaded;

    QGroupBox *FraConfig;
    QTabBar *TSConfig;
    QGroupBox *fraDBDetails;
    QGroupBox *fraLH;

    QLabel *lblAppln;
    QComboBox *ComboApplication;
    QLabel *lblPlatform;
    QComboBox *ComboPlatform;
    QLabel *lblDSN;
    EditorLineEdit *txtdsn;
    QLabel *lblDatabase;
    EditorLineEdit *txtdatabase;
    QLabel *lblmachine;
    EditorLineEdit *txtmachine;
    QLabel *lblUsername;
    EditorLineEdit *txtusername;
    QLabel *lblPassword;
    EditorLineEdit *txtpassword;
    QCheckBox *ChkSavePass;
    QCheckBox *ChkAutoLogin;
    QPushButton *cmdTestConnection;

    QGroupBox *fraLHsettings;
    QLabel *lblLHSettings;
    QLabel *Label1;
    EditorLineEdit *txtconnection;
    QGroupBox *fraLogSettings;
    QLabel *lbllogsettings;
    QLabel *lblLog;
    EditorLineEdit *txtLog;
    QPushButton *cmdBrowse1;
    QGroupBox *fraAppSetting;
    QLabel *lblAppSetting;
    QLabel *lblwebdirectory;
    EditorLineEdit *txtwebdirectory;
    QPushButton *cmdBrowse2;

    QPushButton *cmdOK;
    QPushButton *cmdCancel;
};
