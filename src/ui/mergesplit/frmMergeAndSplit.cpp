#include "ui/mergesplit/frmMergeAndSplit.h"
#include "ui/PasswordField.h"

#include "app/Session.h"
#include "ui/Controls.h"
#include "config/ConfigStore.h"
#include "suite/BusComponent.h"
#include "suite/MergeSplitLaunch.h"
#include "suite/MergeSplitRun.h"
#include "suite/PublisherSetup.h"
#include "platform/FileIo.h"
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

QString ComputerName()
{
    const QString fromEnvironment = qEnvironmentVariable("ComputerName");
    return fromEnvironment.isEmpty() ? QSysInfo::machineHostName() : fromEnvironment;
}

void AddRow(QGridLayout *grid, int row, const QString &caption, const char *text, QLineEdit *field)
{
    auto *label = Controls::Make<QLabel>(field->parentWidget(), QStringLiteral("lbl") + field->objectName(), caption, text);
    // With a buddy the caption's "&&" shows as one ampersand and "&X" becomes a shortcut.
    label->setBuddy(field);
    grid->addWidget(label, row, 0);
    grid->addWidget(field, row, 1);
}

} // namespace

frmMergeAndSplit::frmMergeAndSplit(Session &session, const MergeSplitPick &pick, QWidget *owner)
    : QDialog(owner), m_session(session), m_pick(pick)
{
    setObjectName(QStringLiteral("frmMergeAndSplit"));
    setWindowTitle(QStringLiteral("Merge and Split Configuration"));
    Controls::SetLabel(this, "CS_PUB_TITLE");
    BuildWindow();
    Controls::Localise(m_session, *this);
}

frmMergeAndSplit::~frmMergeAndSplit() = default;

void frmMergeAndSplit::BuildWindow()
{
    auto *top = new QWidget(this);
    auto *grid = new QGridLayout(top);
    grid->setContentsMargins(0, 0, 0, 0);
    txt_ldapAdmin = Controls::Make<QLineEdit>(top, "txt_ldapAdmin");
    txt_ldapPwd = Controls::Make<QLineEdit>(top, "txt_ldapPwd");
    MaskWithStars(txt_ldapPwd);
    txtMnSFileName = Controls::Make<QLineEdit>(top, "txtMnSFileName");
    AddRow(grid, 0, QStringLiteral("Directory Admin:"), "CS_PUB_ADMIN", txt_ldapAdmin);
    AddRow(grid, 1, QStringLiteral("Password: "), "CS_PUB_PASSWORD", txt_ldapPwd);
    AddRow(grid, 2, QStringLiteral("M&&S File Name: "), "CS_PUB_FILE_NAME", txtMnSFileName);
    grid->setColumnStretch(1, 1);

    auto *frame = new QGroupBox(QStringLiteral("Publisher Bus Component"), this);
    frame->setObjectName(QStringLiteral("framePublisherBusComponent"));
    Controls::SetLabel(frame, "CS_PUB_FRAME");
    auto *frameGrid = new QGridLayout(frame);
    txtMnSHost = Controls::Make<QLineEdit>(frame, "txtMnSHost");
    txtPublisherBusComp = Controls::Make<QLineEdit>(frame, "txtPublisherBusComp");
    txtpublisherBusPortNum = Controls::Make<QLineEdit>(frame, "txtpublisherBusPortNum");
    AddRow(frameGrid, 0, QStringLiteral("Merge && Split Host Name:"), "CS_PUB_HOST", txtMnSHost);
    AddRow(frameGrid, 1, QStringLiteral("Bus Component Name: "), "CS_PUB_BUS_COMPONENT", txtPublisherBusComp);
    AddRow(frameGrid, 2, QStringLiteral("Port Number: "), "CS_PUB_PORT", txtpublisherBusPortNum);
    frameGrid->setColumnStretch(1, 1);

    cmdPublisherOK = new QPushButton(QStringLiteral("&OK"), this);
    cmdPublisherOK->setObjectName(QStringLiteral("cmdPublisherOK"));
    Controls::SetLabel(cmdPublisherOK, "CS_BUTTON_OK");
    cmdPublisherOK->setDefault(true);
    BtnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    BtnCancel->setObjectName(QStringLiteral("BtnCancel"));
    Controls::SetLabel(BtnCancel, "SLBL0428");
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
    // Cancel writes nothing.
    connect(BtnCancel, &QPushButton::clicked, this, &frmMergeAndSplit::reject);
    // Wide enough for a long host or file name, wider for longer texts or a larger font.
    resize(QSize(fontMetrics().averageCharWidth() * 70, 0).expandedTo(sizeHint()));
}

bool frmMergeAndSplit::Load(const QList<ConfigEntry> &selectedEntries)
{
    Controls::Localise(m_session, *this);
    txtMnSHost->setText(ComputerName());
    txtMnSFileName->setText(QStringLiteral("Default_M&S.tsy"));
    return PublisherSetup::OpenConnections(m_session.Messenger(), m_connections, selectedEntries);
}

void frmMergeAndSplit::reject()
{
    if (m_toolRunning) {
        m_cancelTool = true;
        return;
    }
    QDialog::reject();
}

bool frmMergeAndSplit::CheckField(bool valid, QLineEdit *field, const QString &message)
{
    if (!valid) {
        m_session.MsgBox(this, message, MsgIcon::Critical, MsgButtons::Ok);
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
    const QString wrongPublisher = WhyNotBusComponentName(m_session.Messenger(), publisher);
    return CheckField(!publisher.isEmpty(), txtPublisherBusComp,
                      m_session.Text("CS_PUB_ENTER_BUS_COMPONENT"))
           && CheckField(Vb::IsNumeric(txtpublisherBusPortNum->text()), txtpublisherBusPortNum,
                         m_session.Text("CS_PUB_ENTER_PORT"))
           && CheckField(!Vb::Trim(fileName).isEmpty(), txtMnSFileName,
                         m_session.Text("CS_PUB_ENTER_FILE_NAME"))
           // The name becomes the dispatcher's folder and a line of its properties file.
           && CheckField(wrongPublisher.isEmpty(), txtPublisherBusComp,
                         m_session.Text("CS_PUB_BAD_BUS_COMPONENT", publisher, wrongPublisher))
           && CheckField(whole && portNumber >= 1 && portNumber <= 65535, txtpublisherBusPortNum,
                         m_session.Text("CS_PUB_PORT_RANGE"))
           // The name becomes a file in the lib directory: it must not lead anywhere else.
           && CheckField(FileIo::IsValidFileName(fileName), txtMnSFileName,
                         m_session.Text("CS_PUB_BAD_FILE_NAME", fileName));
}

bool frmMergeAndSplit::CheckDatabases(const QString &publisher)
{
    const std::optional<qint64> size = PublisherSetup::CheckConnections(m_session.Messenger(), m_connections);
    return size
           && CheckField(*size == 0 || publisher.size() <= *size, txtPublisherBusComp,
                         m_session.Text("CS_PUB_BUS_COMPONENT_LONG", QString::number(publisher.size()),
                                        QString::number(*size)));
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
        if (seconds == ToolEnded)
            return lblStatus->hide();
        lblStatus->setText(m_session.Text("CS_PUB_WAITING", QString::number(seconds), name));
    };
    status(0);
    lblStatus->show();
    m_toolRunning = true;
    m_cancelTool = false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool created = CreateBusComponent(m_session.Messenger(), m_session.AppDir(), m_session.DefaultLogDirectory(),
                                            txtMnSHost->text(), txtpublisherBusPortNum->text(), txt_ldapAdmin->text(),
                                            txt_ldapPwd->text(), name, [&](int seconds) {
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
    if (!CheckDatabases(publisher)
        || !PublisherSetup::CheckPickedConfigsReadBack(m_session.Messenger(), m_session.ConfigDirectory(), m_pick))
        return;
    // Listed with the other configurations only with the extension.
    const QString fileName = ConfigStore::AddConfigExtension(txtMnSFileName->text());
    const QString jointPath = m_session.ConfigDirectory() + u'/' + fileName;
    if (QFileInfo::exists(jointPath)
        && m_session.MsgBox(this, m_session.Text("CS_PUB_REPLACE", fileName),
                            MsgIcon::Question, MsgButtons::YesNoDefaultNo)
               != MsgResult::Yes) {
        txtMnSFileName->setFocus();
        return;
    }

    // Only a bus component that exists may be written into the databases and the file. The
    // journal tells the next start how far a run got that a kill ended.
    MergeSplitRun run(m_session.AppDir(), JournalEntry(fileName, publisher));
    if (const Result<void> begun = run.Begin(); !begun) {
        m_session.MsgBox(this,
                         m_session.Text("CS_PUB_NO_JOURNAL") + QStringLiteral("\r\n") + m_session.Text(begun.error().Text()),
                         MsgIcon::Critical, MsgButtons::Ok);
        return;
    }
    const bool done =
        CreateBusComponentWaiting() && run.Reached(MergeSplitJournal::Step::DirectoryTool)
        && PublisherSetup::UpdatePublisher(m_session.Messenger(), m_connections, publisher,
                                           [&run](int which) { run.Committed(which); })
        && PublisherSetup::WriteJointFile(m_session.Messenger(), m_session.AppDir(), m_pick, fileName);
    run.End(done);
    if (done)
        accept();
}

MergeSplitJournal::Entry frmMergeAndSplit::JournalEntry(const QString &fileName, const QString &publisher) const
{
    MergeSplitJournal::Entry entry;
    entry.jointFile = fileName;
    entry.pick = m_pick;
    entry.publisher = publisher;
    entry.host = txtMnSHost->text();
    entry.port = txtpublisherBusPortNum->text();
    entry.admin = txt_ldapAdmin->text();
    return entry;
}

void frmMergeAndSplit::Prefill(const MergeSplitJournal::Entry &entry)
{
    txt_ldapAdmin->setText(entry.admin);
    txtMnSHost->setText(entry.host);
    txtpublisherBusPortNum->setText(entry.port);
    txtPublisherBusComp->setText(entry.publisher);
    txtMnSFileName->setText(entry.jointFile);
    // The passwords are asked again: no journal keeps one.
    txt_ldapPwd->setFocus();
}
