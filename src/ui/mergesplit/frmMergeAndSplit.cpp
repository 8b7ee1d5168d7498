#include "ui/mergesplit/frmMergeAndSplit.h"
#include "ui/PasswordField.h"

#include "app/Session.h"
#include "config/ConfigStore.h"
#include "config/SuiteDatabase.h"
#include "suite/BusComponent.h"
#include "suite/JointFile.h"
#include "suite/MergeSplitLaunch.h"
#include "config/ConfigFormat.h"
#include "platform/FileIo.h"
#include "platform/IniProfile.h"
#include "platform/VbText.h"

#include <QApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QSysInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString ProductNames[2] = {QLatin1String(MergeSplitProduct(0).name), QLatin1String(MergeSplitProduct(1).name)};

QString ComputerName()
{
    const QString fromEnvironment = qEnvironmentVariable("ComputerName");
    return fromEnvironment.isEmpty() ? QSysInfo::machineHostName() : fromEnvironment;
}

QLineEdit *NewField(QWidget *parent, const char *name)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    return edit;
}

void AddRow(QGridLayout *grid, int row, const QString &caption, QLineEdit *field)
{
    auto *label = new QLabel(caption, field->parentWidget());
    label->setObjectName(QStringLiteral("lbl") + field->objectName());
    // With a buddy the caption's "&&" shows as one ampersand and "&X" becomes a shortcut.
    label->setBuddy(field);
    grid->addWidget(label, row, 0);
    grid->addWidget(field, row, 1);
}

} // namespace

frmMergeAndSplit::frmMergeAndSplit(Session &session, const QList<ConfigEntry> &selectedEntries, QWidget *owner)
    : QDialog(owner), m_session(session)
{
    setObjectName(QStringLiteral("frmMergeAndSplit"));
    setWindowTitle(QStringLiteral("Merge and Split Configuration"));
    BuildWindow();
    Form_Load(selectedEntries);
}

frmMergeAndSplit::~frmMergeAndSplit() = default;

void frmMergeAndSplit::BuildWindow()
{
    auto *top = new QWidget(this);
    auto *grid = new QGridLayout(top);
    grid->setContentsMargins(0, 0, 0, 0);
    txt_ldapAdmin = NewField(top, "txt_ldapAdmin");
    txt_ldapPwd = NewField(top, "txt_ldapPwd");
    MaskWithStars(txt_ldapPwd);
    txtMnSFileName = NewField(top, "txtMnSFileName");
    AddRow(grid, 0, QStringLiteral("Directory Admin:"), txt_ldapAdmin);
    AddRow(grid, 1, QStringLiteral("Password: "), txt_ldapPwd);
    AddRow(grid, 2, QStringLiteral("M&&S File Name: "), txtMnSFileName);
    grid->setColumnStretch(1, 1);

    auto *frame = new QGroupBox(QStringLiteral("Publisher Bus Component"), this);
    frame->setObjectName(QStringLiteral("framePublisherBusComponent"));
    auto *frameGrid = new QGridLayout(frame);
    txtMnSHost = NewField(frame, "txtMnSHost");
    txtPublisherBusComp = NewField(frame, "txtPublisherBusComp");
    txtpublisherBusPortNum = NewField(frame, "txtpublisherBusPortNum");
    AddRow(frameGrid, 0, QStringLiteral("Merge && Split Host Name:"), txtMnSHost);
    AddRow(frameGrid, 1, QStringLiteral("Bus Component Name: "), txtPublisherBusComp);
    AddRow(frameGrid, 2, QStringLiteral("Port Number: "), txtpublisherBusPortNum);
    frameGrid->setColumnStretch(1, 1);

    cmdPublisherOK = new QPushButton(QStringLiteral("&OK"), this);
    cmdPublisherOK->setObjectName(QStringLiteral("cmdPublisherOK"));
    cmdPublisherOK->setDefault(true);
    BtnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    BtnCancel->setObjectName(QStringLiteral("BtnCancel"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdPublisherOK);
    buttons->addWidget(BtnCancel);

    // Says what the dialog waits for while the directory tool runs.
    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setWordWrap(true);
    lblStatus->hide();

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(top);
    layout->addWidget(frame);
    layout->addWidget(lblStatus);
    layout->addLayout(buttons);

    connect(cmdPublisherOK, &QPushButton::clicked, this, [this] { cmdPublisherOK_Click(); });
    // Cancel writes nothing: the picked file names stay.
    connect(BtnCancel, &QPushButton::clicked, this, &frmMergeAndSplit::reject);
    resize(420, sizeHint().height());
}

void frmMergeAndSplit::Form_Load(const QList<ConfigEntry> &selectedEntries)
{
    txtMnSHost->setText(ComputerName());
    txtMnSFileName->setText(QStringLiteral("Default_M&S.tsy"));

    for (const ConfigEntry &entry : selectedEntries) {
        const Product *product = ProductWithCode(entry.ProductCode);
        const int which = product ? product->mergeSplitSlot : -1;
        if (which < 0)
            continue;
        Vb::Error error;
        if (!OpenProductConnection(which, entry.Dsn, entry.User, entry.Password, &error)) {
            // The operator can correct the data source and try again: the program goes on.
            m_session.MsgBox(QStringLiteral("Database connection failed for %1 DSN.\r\n").arg(ProductNames[which])
                                 + error.description,
                             MsgIcon::Critical, MsgButtons::Ok);
            m_loadFailed = true;
            return;
        }
    }
}

int frmMergeAndSplit::exec()
{
    if (m_loadFailed)
        return QDialog::Rejected;
    return QDialog::exec();
}

void frmMergeAndSplit::setVisible(bool visible)
{
    if (visible && m_loadFailed)
        return;
    QDialog::setVisible(visible);
}

void frmMergeAndSplit::reject()
{
    if (m_toolRunning) {
        m_cancelTool = true;
        return;
    }
    QDialog::reject();
}

bool frmMergeAndSplit::OpenProductConnection(int which, const QString &dsn, const QString &user,
                                             const QString &password, Vb::Error *error)
{
    return m_connections.Open(which, dsn, user, password, error);
}

bool frmMergeAndSplit::UpdatePublisherForAllTables(const QString &publisher)
{
    Vb::Error error;
    if (m_connections.UpdatePublisherForAllTables(publisher, &error))
        return true;
    m_session.MsgBox(QStringLiteral("Error occured while updating database.\r\n") + error.description,
                     MsgIcon::None, MsgButtons::Ok);
    return false;
}

bool frmMergeAndSplit::WriteJointFileKey(const QString &section, const QString &key, const QString &value,
                                         const QString &fileName)
{
    return IniProfile::WritePrivateProfileString(section, key, value, m_session.ConfigDirectory + u'/' + fileName);
}

bool frmMergeAndSplit::CheckField(bool valid, QLineEdit *field, const QString &message)
{
    if (!valid) {
        m_session.MsgBox(message, MsgIcon::Critical, MsgButtons::Ok);
        field->setFocus();
    }
    return valid;
}

bool frmMergeAndSplit::CheckFields()
{
    const QString publisher = Vb::Trim(txtPublisherBusComp->text());
    const QString port = Vb::Trim(txtpublisherBusPortNum->text());
    const QString fileName = txtMnSFileName->text();
    bool whole = false;
    const int portNumber = port.toInt(&whole);
    const QString wrongPublisher = WhyNotBusComponentName(publisher);
    return CheckField(!publisher.isEmpty(), txtPublisherBusComp,
                      QStringLiteral("Please enter valid data for Publish Bus Component"))
           && CheckField(Vb::IsNumeric(txtpublisherBusPortNum->text()), txtpublisherBusPortNum,
                         QStringLiteral("Please enter valid data for Port Number"))
           && CheckField(!Vb::Trim(fileName).isEmpty(), txtMnSFileName,
                         QStringLiteral("Please enter valid data for Merge and Split File Name"))
           // The name becomes the dispatcher's folder and a line of its properties file.
           && CheckField(wrongPublisher.isEmpty(), txtPublisherBusComp,
                         QStringLiteral("The Bus Component Name \"%1\" cannot be used: %2.").arg(publisher, wrongPublisher))
           && CheckField(whole && portNumber >= 1 && portNumber <= 65535, txtpublisherBusPortNum,
                         QStringLiteral("Please enter valid data for Port Number: a whole number from 1 to 65535."))
           // The name becomes a file in the lib directory: it must not lead anywhere else.
           && CheckField(FileIo::IsValidFileName(fileName), txtMnSFileName,
                         QStringLiteral("The Merge and Split File Name \"%1\" is not a valid file name: it must "
                                        "not hold any of \\ / : * ? \" < > | or control characters.")
                             .arg(fileName));
}

bool frmMergeAndSplit::CheckDatabases(const QString &publisher)
{
    for (int which : {0, 1}) {
        if (!m_connections.Get(which)) {
            m_session.MsgBox(QStringLiteral("The %1 database is not connected: select a %1 configuration for "
                                            "Merge and Split.")
                                 .arg(ProductNames[which]),
                             MsgIcon::Critical, MsgButtons::Ok);
            return false;
        }
    }
    qint64 size = 0;
    Vb::Error error;
    if (!m_connections.PublisherColumnSize(&size, &error)) {
        m_session.MsgBox(QStringLiteral("The bus component table could not be read.\r\n") + error.description,
                         MsgIcon::None, MsgButtons::Ok);
        return false;
    }
    return CheckField(size == 0 || publisher.size() <= size, txtPublisherBusComp,
                      QStringLiteral("The Bus Component Name is %1 characters long; the databases hold at most %2.")
                          .arg(publisher.size())
                          .arg(size));
}

bool frmMergeAndSplit::CheckInputFilesReadBack()
{
    // The joint file is read key by key through the INI functions, which trim and unquote:
    // a value they would change would start the servers with other settings (a wrong password).
    for (const QString &name : {m_session.MnSFieldmarkConfig, m_session.MnSRostrumConfig}) {
        QString text;
        Vb::Error error;
        if (!FileIo::ReadAnsiText(m_session.ConfigDirectory + u'/' + name, &text, &error)) {
            m_session.MsgBox(QStringLiteral("The configuration \"%1\" could not be read.\r\n").arg(name)
                                 + error.description,
                             MsgIcon::Critical, MsgButtons::Ok);
            return false;
        }
        for (const QString &line : FileIo::SplitLines(text)) {
            QString key, value;
            if (ConfigFormat::SplitLine(line, &key, &value) != ConfigFormat::LineKind::KeyValue)
                continue;
            const QString why = JointFile::WhyValueChangesOnReading(value);
            if (!why.isEmpty()) {
                m_session.MsgBox(QStringLiteral("The value of \"%1\" in \"%2\" would not read back as it stands from "
                                                "the Merge and Split file: %3. Change it in the configuration editor "
                                                "first.")
                                     .arg(key, name, why),
                                 MsgIcon::Critical, MsgButtons::Ok);
                return false;
            }
        }
    }
    return true;
}

bool frmMergeAndSplit::CreateBusComponentWaiting()
{
    // While the tool runs only Cancel answers; the status line counts the seconds.
    const QList<QWidget *> inputs = {txt_ldapAdmin, txt_ldapPwd, txtMnSFileName, txtMnSHost, txtPublisherBusComp,
                                     txtpublisherBusPortNum, cmdPublisherOK};
    for (QWidget *w : inputs)
        w->setEnabled(false);
    const QString name = txtPublisherBusComp->text();
    auto status = [this, name](int seconds) {
        lblStatus->setText(QStringLiteral("Waiting %1 s for the directory tool to create \"%2\"...").arg(QString::number(seconds), name));
    };
    status(0);
    lblStatus->show();
    m_toolRunning = true;
    m_cancelTool = false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool created = CreateBusComponent(m_session, txtMnSHost->text(), txtpublisherBusPortNum->text(),
                                            txt_ldapAdmin->text(), txt_ldapPwd->text(), name, [&](int seconds) {
                                                status(seconds);
                                                return !m_cancelTool;
                                            });
    QApplication::restoreOverrideCursor();
    m_toolRunning = false;
    lblStatus->hide();
    for (QWidget *w : inputs)
        w->setEnabled(true);
    return created;
}

void frmMergeAndSplit::cmdPublisherOK_Click()
{
    if (m_toolRunning || !CheckFields())
        return;
    const QString publisher = Vb::Trim(txtPublisherBusComp->text());
    if (!CheckDatabases(publisher) || !CheckInputFilesReadBack())
        return;
    // Listed with the other configurations only with the extension.
    const QString fileName = ConfigStore::AddConfigExtension(txtMnSFileName->text());
    const QString jointPath = m_session.ConfigDirectory + u'/' + fileName;
    if (QFileInfo::exists(jointPath)
        && m_session.MsgBox(QStringLiteral("The Merge and Split file \"%1\" exists. Replace it?").arg(fileName),
                            MsgIcon::Question, MsgButtons::YesNoDefaultNo)
               != MsgResult::Yes) {
        txtMnSFileName->setFocus();
        return;
    }

    // Only a bus component that exists may be written into the databases and the file.
    if (!CreateBusComponentWaiting() || !UpdatePublisherForAllTables(publisher))
        return;

    Vb::Error error;
    if (!ConfigStore::JoinConfigFiles(m_session.AppDir(), m_session.MnSFieldmarkConfig, m_session.MnSRostrumConfig,
                                      fileName, &error)) {
        // Nothing half-made is left: the joint file is written whole or not at all.
        m_session.MsgBox(QStringLiteral("The Merge and Split file \"%1\" could not be written.\r\n").arg(fileName)
                             + error.description,
                         MsgIcon::Critical, MsgButtons::Ok);
        return;
    }
    if (!WriteJointFileKey(JointFile::RostrumSection, QStringLiteral("autologin"), QStringLiteral("1"), fileName)
        || !WriteJointFileKey(JointFile::FieldmarkSection, QStringLiteral("autologin"), QStringLiteral("1"), fileName)) {
        m_session.MsgBox(QStringLiteral("Auto login could not be set in the Merge and Split file \"%1\".").arg(fileName),
                         MsgIcon::Critical, MsgButtons::Ok);
        return;
    }
    m_session.MnSFieldmarkConfig.clear();
    m_session.MnSRostrumConfig.clear();
    accept();
}
