#include "ui/dialogs/frmAbout.h"

#include "app/Session.h"
#include "ui/Controls.h"
#include "platform/Ansi.h"
#include "platform/Process.h"
#include "platform/Registry.h"

#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kMsInfoKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString kMsInfoLocationKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");

QLabel *MakeLabel(QWidget *parent, const char *name, bool wrap)
{
    auto *label = Controls::Make<QLabel>(parent, QLatin1String(name));
    // Texts come from a file users edit and from the registry: never read them as markup.
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(wrap);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

// Starts one program in a normal window; false when it cannot be started.
bool StartProgram(const QString &appDir, const QString &program)
{
    // The value names the program itself, blanks and all.
    const QString commandLine = program.startsWith(u'"') ? program : u'"' + program + u'"';
    return !program.isEmpty() && Process::Start(appDir, commandLine).ok();
}

} // namespace

frmAbout::frmAbout(Session &session, QWidget *parent) : QDialog(parent), m_session(session)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setPixmap(QPixmap(QStringLiteral(":/about.png")));
    picIcon->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblTitle = MakeLabel(this, "lblTitle", true);
    QFont titleFont = lblTitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);
    lblVersion = MakeLabel(this, "lblVersion", false);
    lblDescription = MakeLabel(this, "lblDescription", true);
    lblCopyright = MakeLabel(this, "lblCopyright", true);
    lblDisclaimer = MakeLabel(this, "lblDisclaimer", true);
    Controls::SetLabel(lblDescription, "SLBL0316");
    Controls::SetLabel(lblDisclaimer, "SLBL0328");
    QFont smallFont = lblDisclaimer->font();
    smallFont.setPointSizeF(smallFont.pointSizeF() * 0.9);
    lblDisclaimer->setFont(smallFont);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    Controls::SetLabel(cmdOK, "SLBL0254");
    cmdOK->setDefault(true);
    cmdSysInfo = new QPushButton(QStringLiteral("System Info..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    Controls::SetLabel(cmdSysInfo, "CS_ABOUT_SYSINFO");
    cmdSysInfo->setAutoDefault(false);

    auto *rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);

    // The usual about box: icon at left of the title block, a rule, then the disclaimer
    // beside the two buttons.
    auto *grid = new QGridLayout(this);
    grid->setHorizontalSpacing(16);
    grid->addWidget(picIcon, 0, 0, 4, 1);
    grid->addWidget(lblTitle, 0, 1, 1, 2);
    grid->addWidget(lblVersion, 1, 1, 1, 2);
    grid->addWidget(lblDescription, 2, 1, 1, 2);
    grid->addWidget(lblCopyright, 3, 1, 1, 2);
    grid->addWidget(rule, 4, 0, 1, 3);
    grid->addWidget(lblDisclaimer, 5, 0, 1, 2);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);
    buttons->addStretch();
    grid->addLayout(buttons, 5, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowMinimumHeight(4, 12);

    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
}

bool frmAbout::Load()
{
    // The captions; the version is the one value from the registry.
    const QString productTitle = m_session.GetText(QStringLiteral("SLBL0372"));
    setWindowTitle(m_session.GetText(QStringLiteral("SLBL0019")).replace(QStringLiteral("%1"), productTitle));
    lblTitle->setText(m_session.GetText(QStringLiteral("SLBL0520")).replace(QStringLiteral("%1"), Ansi::CharOf(174)));
    lblVersion->setText(m_session.Text("CS_ABOUT_VERSION", Registry::ReadRegistryValue(m_session.AppDir())));
    if (const QString why = m_session.Text(Registry::WhyFileRefused(m_session.AppDir())); !why.isEmpty())
        m_session.MsgBox(this, why, MsgIcon::Exclamation, MsgButtons::Ok);
    lblCopyright->setText(m_session.GetText(QStringLiteral("SLBL0499")).replace(QStringLiteral("%1"), Ansi::CharOf(169)));
    Controls::Localise(m_session, *this);

    // Wide enough that the long disclaimer wraps to a few lines, not a tall column.
    const int width = qMax(520, fontMetrics().averageCharWidth() * 72);
    setFixedSize(width, layout()->hasHeightForWidth() ? layout()->totalHeightForWidth(width) : sizeHint().height());

    return !m_session.QuitRequested();
}

void frmAbout::cmdOK_Click() { accept(); }

void frmAbout::cmdSysInfo_Click() { StartSysInfo(); }

void frmAbout::StartSysInfo()
{
    const QString appDir = m_session.AppDir();
    QString sysInfoPath;
    bool started = false;
    // The path value is trusted as it stands; only the location needs the program file.
    const Result<bool> path =
        Registry::GetKeyValue(appDir, Registry::HKEY_LOCAL_MACHINE, kMsInfoKey, QStringLiteral("PATH"), sysInfoPath);
    if (path && path.value()) {
        started = StartProgram(appDir, sysInfoPath);
    } else if (path
               && Registry::GetKeyValue(appDir, Registry::HKEY_LOCAL_MACHINE, kMsInfoLocationKey,
                                        QStringLiteral("MSINFO"), sysInfoPath)
                      .value_or(false)) {
        const QString program = sysInfoPath + QStringLiteral("/MSINFO32.EXE");
        if (QFileInfo(program).isFile())
            started = StartProgram(appDir, program);
    }
    if (!started)
        m_session.MsgBox(this, m_session.GetText(QStringLiteral("SLBL0300")), MsgIcon::None, MsgButtons::Ok);
}
