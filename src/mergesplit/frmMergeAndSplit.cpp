#include "mergesplit/frmMergeAndSplit.h"
#include "ui/PasswordField.h"

#include "app/Session.h"
#include "config/ConfigStore.h"
#include "config/SuiteDatabase.h"
#include "mergesplit/BusComponent.h"
#include "mergesplit/JointFile.h"
#include "mergesplit/PublisherConnections.h"
#include "platform/FileIo.h"
#include "platform/IniProfile.h"
#include "platform/VbText.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QSysInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString FieldmarkCode = QStringLiteral("4009");
const QString RostrumCode = QStringLiteral("1028");

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

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(top);
    layout->addWidget(frame);
    layout->addLayout(buttons);

    connect(cmdPublisherOK, &QPushButton::clicked, this, [this] { cmdPublisherOK_Click(); });
    // Cancel writes nothing: the picked file names and the connections stay.
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(420, sizeHint().height());
}

void frmMergeAndSplit::Form_Load(const QList<ConfigEntry> &selectedEntries)
{
    txtMnSHost->setText(ComputerName());
    txtMnSFileName->setText(QStringLiteral("Default_M&S.tsy"));

    // Each load replaces the connections of the one before.
    PublisherConnections::Reset();
    for (const ConfigEntry &entry : selectedEntries) {
        int which = -1;
        if (entry.ProductCode == FieldmarkProduct)
            which = 0;
        else if (entry.ProductCode == RostrumProduct)
            which = 1;
        if (which < 0)
            continue;
        Vb::Error error;
        if (!OpenProductConnection(which, entry.Dsn, entry.User, entry.Password, &error)) {
            m_session.MsgBox(which == 0 ? QStringLiteral("Database connection failed for Fieldmark DSN. Program will Exit!")
                                        : QStringLiteral("Database connection failed for Rostrum DSN. Program will Exit!"),
                             MsgIcon::Critical, MsgButtons::Ok);
            m_loadFailed = true;
            m_session.Quit();
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

bool frmMergeAndSplit::OpenProductConnection(int which, const QString &dsn, const QString &user,
                                             const QString &password, Vb::Error *error)
{
    auto connection = std::make_unique<Odbc::Connection>();
    if (!SuiteDatabase::OpenByConnectionString(*connection, dsn, user, password, error))
        return false;
    PublisherConnections::Set(which, std::move(connection));
    return true;
}

bool frmMergeAndSplit::UpdatePublisherBusComponent(int which, int tableId, const QString &publisher)
{
    Vb::Error error;
    Odbc::Connection *connection = PublisherConnections::Get(which);
    bool done = false;
    if (!connection || !connection->IsOpen()) {
        error.number = 3704; // the original's "operation not allowed when the object is closed"
        error.description = which == 0 ? QStringLiteral("The Fieldmark database connection is not open.")
                                       : QStringLiteral("The Rostrum database connection is not open.");
    } else {
        done = connection->Execute(
            SuiteDatabase::PublisherUpdate(publisher, tableId, which == 0 ? FieldmarkCode : RostrumCode), &error);
    }
    if (!done)
        m_session.MsgBox(QStringLiteral("Error occured while updating database.\r\n") + error.description,
                         MsgIcon::None, MsgButtons::Ok);
    return done;
}

void frmMergeAndSplit::UpdatePublisherForAllTables(const QString &publisher)
{
    const QList<int> fieldmark = SuiteDatabase::PublisherTableIds(FieldmarkProduct);
    const QList<int> rostrum = SuiteDatabase::PublisherTableIds(RostrumProduct);
    // One table of each product in turn.
    for (qsizetype i = 0; i < qMax(fieldmark.size(), rostrum.size()); ++i) {
        if (i < fieldmark.size())
            UpdatePublisherBusComponent(0, fieldmark[i], publisher);
        if (i < rostrum.size())
            UpdatePublisherBusComponent(1, rostrum[i], publisher);
    }
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

void frmMergeAndSplit::cmdPublisherOK_Click()
{
    const QString fileName = txtMnSFileName->text();
    if (!CheckField(!Vb::Trim(txtPublisherBusComp->text()).isEmpty(), txtPublisherBusComp,
                    QStringLiteral("Please enter valid data for Publish Bus Component"))
        || !CheckField(Vb::IsNumeric(txtpublisherBusPortNum->text()), txtpublisherBusPortNum,
                       QStringLiteral("Please enter valid data for Port Number"))
        || !CheckField(!Vb::Trim(fileName).isEmpty(), txtMnSFileName,
                       QStringLiteral("Please enter valid data for Merge and Split File Name"))
        // The name becomes a file in the lib directory: it must not lead anywhere else.
        || !CheckField(FileIo::IsValidFileName(fileName), txtMnSFileName,
                       QStringLiteral("The Merge and Split File Name \"%1\" is not a valid file name: it must "
                                      "not hold any of \\ / : * ? \" < > | or control characters.")
                           .arg(fileName)))
        return;

    // The directory tool shows its own outcome; a failure does not stop the steps below.
    CreateBusComponent(m_session, txtMnSHost->text(), txtpublisherBusPortNum->text(), txt_ldapAdmin->text(),
                       txt_ldapPwd->text(), txtPublisherBusComp->text());
    UpdatePublisherForAllTables(Vb::Trim(txtPublisherBusComp->text()));

    Vb::Error error;
    if (!ConfigStore::JoinConfigFiles(m_session.AppDir(), m_session.MnSFieldmarkConfig, m_session.MnSRostrumConfig,
                                      fileName, &error)) {
        // Nothing half-made is left: the joint file is written whole or not at all.
        m_session.MsgBox(QStringLiteral("The Merge and Split file \"%1\" could not be written.\r\n").arg(fileName)
                             + error.description,
                         MsgIcon::Critical, MsgButtons::Ok);
        return;
    }
    WriteJointFileKey(JointFile::RostrumSection, QStringLiteral("autologin"), QStringLiteral("1"), fileName);
    WriteJointFileKey(JointFile::FieldmarkSection, QStringLiteral("autologin"), QStringLiteral("1"), fileName);
    m_session.MnSFieldmarkConfig.clear();
    m_session.MnSRostrumConfig.clear();
    accept();
}
