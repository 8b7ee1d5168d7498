#include "ui/dialogs/frmConfigFileSelector.h"

#include "app/Session.h"
#include "ui/Controls.h"
#include "config/ConfigStore.h"
#include "platform/FileIo.h"
#include "ui/WindowTitle.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>


frmConfigFileSelector::frmConfigFileSelector(Session &session, QWidget *parent)
    : QDialog(parent), m_session(session)
{
    setObjectName(QStringLiteral("frmConfigFileSelector"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    txtFileName = new QLineEdit(this);
    txtFileName->setObjectName(QStringLiteral("txtFileName"));
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    Controls::SetLabel(OKButton, "SLBL0254");
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    Controls::SetLabel(CancelButton, "SLBL0428");
    // Enter in the name field confirms, as in any small name prompt.
    OKButton->setDefault(true);
    CancelButton->setAutoDefault(false);

    // The small prompt: the name field at left, the two buttons stacked at right; wider
    // for a longer title or longer button texts.
    auto *grid = new QGridLayout(this);
    grid->addWidget(txtFileName, 0, 0);
    grid->addWidget(OKButton, 0, 1);
    grid->addWidget(CancelButton, 1, 1);
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(2, 1);
    txtFileName->setMinimumWidth(txtFileName->fontMetrics().averageCharWidth() * 36);
    Controls::SetAccessibleLabel(txtFileName, "CS_ACCESSIBLE_FILE_NAME");

    setWindowTitle(QStringLiteral("Enter Configuration File Name"));
    Controls::SetLabel(this, "SLBL0154");

    connect(OKButton, &QPushButton::clicked, this, &frmConfigFileSelector::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &frmConfigFileSelector::CancelButton_Click);
}

bool frmConfigFileSelector::Load()
{
    Controls::Localise(m_session, *this);
    // The whole title shows: the window is as wide as its title bar needs.
    resize(qMax(sizeHint().width(), qMin(WindowTitle::NeededWidth(*this, windowTitle()), WindowTitle::MaxWidth)),
           sizeHint().height());
    return true;
}

frmConfigFileSelector &frmConfigFileSelector::Instance(Session &session)
{
    if (!session.ConfigFileSelector()) {
        auto dialog = std::make_unique<frmConfigFileSelector>(session);
        dialog->Load();
        session.SetConfigFileSelector(std::move(dialog));
    }
    return *static_cast<frmConfigFileSelector *>(session.ConfigFileSelector());
}

QString frmConfigFileSelector::FileName() const { return txtFileName->text(); }

void frmConfigFileSelector::showEvent(QShowEvent *event)
{
    // Cancelled until OK succeeds, at every showing.
    m_confirmed = false;
    txtFileName->setFocus();
    QDialog::showEvent(event);
}

void frmConfigFileSelector::OKButton_Click()
{
    const QString name = txtFileName->text();
    if (name.isEmpty()) {
        m_session.MsgBox(this, m_session.GetText(QStringLiteral("SLBL0154")), MsgIcon::Critical, MsgButtons::Ok);
        txtFileName->setFocus();
        return;
    }
    // Besides the backslash, every character a Windows file name cannot hold is refused,
    // so that no name can lead a file out of the lib directory.
    if (name.contains(u'\\') || !FileIo::IsValidFileName(name)) {
        m_session.MsgBox(this, m_session.GetText(QStringLiteral("SLBL0357")), MsgIcon::Information, MsgButtons::Ok);
        txtFileName->setFocus();
        return;
    }
    // Blanks and dots alone, with or without ".tsy", name no file.
    if (ConfigStore::StoredConfigFileName(name).isEmpty()) {
        m_session.MsgBox(this, m_session.GetText(QStringLiteral("SLBL0154")), MsgIcon::Critical, MsgButtons::Ok);
        txtFileName->setFocus();
        return;
    }
    // Only a file can be replaced by the new configuration: a folder of that name would
    // make the save fail after the replace question.
    const QString stored = ConfigStore::StoredConfigFileName(name);
    if (const QFileInfo existing(m_session.ConfigDirectory() + u'/' + stored); existing.exists() && !existing.isFile()) {
        m_session.MsgBox(this,
                         m_session.Text("CS_NAME_NOT_A_FILE", stored),
                         MsgIcon::Exclamation, MsgButtons::Ok);
        txtFileName->setFocus();
        return;
    }
    m_confirmed = true;
    done(QDialog::Accepted);
}

void frmConfigFileSelector::CancelButton_Click()
{
    m_confirmed = false;
    done(QDialog::Rejected);
}
