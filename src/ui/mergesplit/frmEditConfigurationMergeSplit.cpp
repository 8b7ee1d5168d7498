#include "ui/mergesplit/frmEditConfigurationMergeSplit.h"
#include "ui/PasswordField.h"

#include "app/Session.h"
#include "config/PasswordScramble.h"
#include "config/Products.h"
#include "suite/JointFile.h"
#include "platform/Ansi.h"
#include "platform/FileIo.h"
#include "platform/VbText.h"
#include "suite/BackendChecks.h"
#include "ui/BrowseButton.h"
#include "ui/Controls.h"
#include "ui/DataSourceField.h"
#include "ui/EditorRules.h"
#include "ui/Mnemonics.h"
#include "ui/WindowTitle.h"
#include "ui/SaveLoadedFile.h"
#include "ui/WindowState.h"
#include "ui/dialogs/frmbrowse.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFileInfo>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

QString Indexed(const char *name, int index) { return QLatin1String(name) + u'_' + QString::number(index); }

QLabel *NewLabel(QWidget *parent, const QString &name, const QString &caption, const char *text, QWidget *buddy)
{
    auto *label = Controls::Make<QLabel>(parent, name, caption, text);
    label->setBuddy(buddy);
    return label;
}

QPushButton *NewBrowseButton(QWidget *parent, const QString &name)
{
    return Controls::Make<BrowseButton>(parent, name, QStringLiteral("..."), "CS_BROWSE_BUTTON");
}

} // namespace

frmEditConfigurationMergeSplit::frmEditConfigurationMergeSplit(Session &session, const QString &path, QWidget *parent)
    : QDialog(parent), m_session(session), m_path(path)
{
    setObjectName(QStringLiteral("frmEditConfigurationMergeSplit"));
    setWindowTitle(QStringLiteral("Configuration Editor"));
    Controls::SetLabel(this, "SLBL0496");
    BuildWindow();
    WindowState::Keep(this, objectName(), WindowState::Remember::Size);
}

frmEditConfigurationMergeSplit::~frmEditConfigurationMergeSplit() = default;

void frmEditConfigurationMergeSplit::Load()
{
    // Read once: the controls show this version, and a save replaces the file only while it
    // still holds it. A file that cannot be read shows empty fields and is never written.
    const Result<FileIo::FileVersion> read = FileIo::ReadVersion(m_path);
    m_version = read ? read.value() : FileIo::FileVersion();
    m_text = Ansi::Decode(m_version.bytes);
    if (!read)
        m_session.MsgBox(this, m_session.Text(read.error().Text()), MsgIcon::Critical, MsgButtons::Ok);
    Controls::Localise(m_session, *this);
    // Two joint editors open side by side must be told apart.
    WindowTitle::Show(*this, m_session.Text("CS_EDITOR_TITLE", m_session.Text("SLBL0496"), QFileInfo(m_path).fileName()),
                      m_session.Text("CS_TITLE_NAME_FIRST", m_session.Text("SLBL0496"), QFileInfo(m_path).fileName()));
    FillPlatformLists();
    for (int slot = 0; slot < 2; ++slot)
        LoadApplicationSettings(slot);
    // A long value shows its start, where a component string names its component.
    for (QLineEdit *field : findChildren<QLineEdit *>())
        field->setCursorPosition(0);
    // One box for two sections: when they disagree it says so, and each keeps its own
    // setting until the user sets the box for both.
    if (m_savePass[0] != m_savePass[1])
        ChkSavePass->setCheckState(Qt::PartiallyChecked);
    m_loaded = Snapshot();
}

// ---------------------------------------------------------------------------------------
// Window

void frmEditConfigurationMergeSplit::BuildWindow()
{
    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    // Every tab's title shows whole: the window is as wide as the three need.
    SSTab1->setUsesScrollButtons(false);
    SSTab1->setElideMode(Qt::ElideNone);

    // One tab per product of the pair, in the order of their places.
    const std::array<std::pair<const char *, const char *>, 2> frameNames = {{{"fraDBDetails", "Frame3"}, {"Frame1", "Frame2"}}};
    for (int slot = 0; slot < 2; ++slot) {
        const Product &product = MergeSplitProduct(slot);
        auto *tab = new QWidget(SSTab1);
        tab->setObjectName(QStringLiteral("tab") + QLatin1String(product.name));
        auto *column = new QVBoxLayout(tab);
        column->addWidget(BuildDatabaseFrame(slot, QLatin1String(frameNames[slot].first)));
        if (product.hasWebDirectory)
            column->addWidget(BuildWebDirectoryFrame(tab));
        column->addWidget(BuildLogFrame(slot, QLatin1String(frameNames[slot].second)));
        column->addStretch();
        SSTab1->addTab(tab, QLatin1String(product.name));
    }

    SSTab1->addTab(BuildLedgerhallTab(), QStringLiteral("Ledgerhall/Other Settings"));
    Controls::SetTabLabels(SSTab1->tabBar(), {{MergeSplitProduct(0).nameLabel, nullptr},
                                              {MergeSplitProduct(1).nameLabel, nullptr},
                                              {"CS_MS_LEDGERHALL_TAB", nullptr}});

    ChkSavePass = new QCheckBox(QStringLiteral("Save Password"), this);
    ChkSavePass->setObjectName(QStringLiteral("ChkSavePass"));
    Controls::SetLabel(ChkSavePass, "SLBL0427");
    ChkAutoLogin = new QCheckBox(QStringLiteral("Auto Login"), this);
    ChkAutoLogin->setObjectName(QStringLiteral("ChkAutoLogin"));
    Controls::SetLabel(ChkAutoLogin, "SLBL0388");
    ChkAutoLogin->setVisible(false);
    bOk = new QPushButton(QStringLiteral("&OK"), this);
    bOk->setObjectName(QStringLiteral("bOk"));
    Controls::SetLabel(bOk, "CS_BUTTON_OK");
    bOk->setDefault(true);
    bCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    bCancel->setObjectName(QStringLiteral("bCancel"));
    Controls::SetLabel(bCancel, "CS_BUTTON_CANCEL");

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(ChkSavePass);
    bottom->addWidget(ChkAutoLogin);
    bottom->addStretch();
    bottom->addWidget(bOk);
    bottom->addWidget(bCancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(SSTab1);
    layout->addLayout(bottom);

    for (int i = 0; i < 2; ++i) {
        connect(ComboPlatform[i], &QComboBox::currentTextChanged, this, [this] { ApplyPlatformRule(); });
        connect(BtnBrowseLog[i], &QPushButton::clicked, this, [this, i] { Browse(i); });
        BtnBrowseLog[i]->installEventFilter(this);
    }
    connect(cmdBrowse2, &QPushButton::clicked, this, [this] { Browse(2); });
    connect(ChkSavePass, &QCheckBox::clicked, this, [this] {
        // From "partly" a click sets both sections; there is no way back to it.
        ChkSavePass->setTristate(false);
        ChkSavePass_Click();
    });
    connect(bOk, &QPushButton::clicked, this, [this] { bOk_Click(); });
    connect(bCancel, &QPushButton::clicked, this, &QDialog::reject);
    SSTab1->tabBar()->installEventFilter(this);
    // Next and previous tab from any control, OK and Cancel too, on the press.
    const std::pair<QKeySequence, int> switches[] = {{QKeySequence(Qt::CTRL | Qt::Key_Tab), 1},
                                                     {QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1},
                                                     {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), -1},
                                                     {QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1}};
    for (const auto &[keys, step] : switches) {
        auto *switchTab = new QShortcut(keys, this);
        connect(switchTab, &QShortcut::activated, this, [this, step] {
            SSTab1->setCurrentIndex((SSTab1->currentIndex() + step + SSTab1->count()) % SSTab1->count());
            FocusFirstField();
        });
    }
    for (int i = 0; i < 2; ++i)
        Controls::SetAccessibleLabel(BtnBrowseLog[i], "CS_ACCESSIBLE_BROWSE_LOG");
    Controls::SetAccessibleLabel(cmdBrowse2, "CS_ACCESSIBLE_BROWSE_WEB");
    // The frame of the tabs; the focus goes on to the tab shown.
    Controls::SetAccessibleLabel(SSTab1, "CS_ACCESSIBLE_JOINT_TABS");
    resize(QSize(fontMetrics().averageCharWidth() * 85, 0).expandedTo(sizeHint()));
}

QWidget *frmEditConfigurationMergeSplit::BuildDatabaseFrame(int index, const QString &frameName)
{
    auto *frame = new QGroupBox(this);
    frame->setObjectName(frameName);
    auto *grid = new QGridLayout(frame);

    ComboPlatform[index] = new QComboBox(frame);
    ComboPlatform[index]->setObjectName(Indexed("ComboPlatform", index));
    txtdsn[index] = Controls::Make<QLineEdit>(frame, Indexed("txtdsn", index));
    txtdatabase[index] = Controls::Make<QLineEdit>(frame, Indexed("txtdatabase", index));
    txtmachine[index] = Controls::Make<QLineEdit>(frame, Indexed("txtmachine", index));
    txtusername[index] = Controls::Make<QLineEdit>(frame, Indexed("txtusername", index));
    txtpassword[index] = Controls::Make<QLineEdit>(frame, Indexed("txtpassword", index));
    MaskWithStars(txtpassword[index]);

    lblPlatform[index] = NewLabel(frame, Indexed("lblPlatform", index), QStringLiteral("Platform"), "SLBL0424", ComboPlatform[index]);
    lblDSN[index] = NewLabel(frame, Indexed("lblDSN", index), QStringLiteral("DSN"), "SLBL0425", txtdsn[index]);
    lblDatabase[index] = NewLabel(frame, Indexed("lblDatabase", index), QStringLiteral("Database"), "SLBL0135", txtdatabase[index]);
    lblmachine[index] = NewLabel(frame, Indexed("lblmachine", index), QStringLiteral("Database Server Name"), "SLBL0508", txtmachine[index]);
    lblUsername[index] = NewLabel(frame, Indexed("lblUsername", index), QStringLiteral("User Name"), "SLBL0324", txtusername[index]);
    lblPassword[index] = NewLabel(frame, Indexed("lblPassword", index), QStringLiteral("Password"), "SLBL0419", txtpassword[index]);

    const std::array<std::pair<QLabel *, QWidget *>, 6> rows = {{
        {lblPlatform[index], ComboPlatform[index]},
        {lblDSN[index], txtdsn[index]},
        {lblDatabase[index], txtdatabase[index]},
        {lblmachine[index], txtmachine[index]},
        {lblUsername[index], txtusername[index]},
        {lblPassword[index], txtpassword[index]},
    }};
    for (int r = 0; r < int(rows.size()); ++r) {
        grid->addWidget(rows[r].first, r, 0);
        grid->addWidget(rows[r].second, r, 1);
    }
    OfferDataSources(txtdsn[index]);
    cmdTestConnection[index] = new QPushButton(QStringLiteral("Test Connection"), frame);
    cmdTestConnection[index]->setObjectName(Indexed("cmdTestConnection", index));
    Controls::SetLabel(cmdTestConnection[index], "CS_TEST_CONNECTION");
    grid->addWidget(cmdTestConnection[index], int(rows.size()), 1, Qt::AlignRight);
    // The joint configuration's server and dispatcher connect through the connection string.
    connect(cmdTestConnection[index], &QPushButton::clicked, this, [this, index] {
        TestConnection(m_session.Messenger(), ConnectionForm::ConnectionString, false, txtdsn[index]->text(),
                       txtusername[index]->text(), txtpassword[index]->text());
    });
    grid->setColumnStretch(1, 1);
    return frame;
}

QWidget *frmEditConfigurationMergeSplit::BuildWebDirectoryFrame(QWidget *tab)
{
    auto *fraAppSetting = new QGroupBox(QStringLiteral("Application Settings"), tab);
    fraAppSetting->setObjectName(QStringLiteral("fraAppSetting"));
    Controls::SetLabel(fraAppSetting, "SLBL0027");
    auto *appLayout = new QGridLayout(fraAppSetting);
    txtwebdirectory = Controls::Make<QLineEdit>(fraAppSetting, QStringLiteral("txtwebdirectory"));
    cmdBrowse2 = NewBrowseButton(fraAppSetting, QStringLiteral("cmdBrowse2"));
    appLayout->addWidget(NewLabel(fraAppSetting, QStringLiteral("lblwebdirectory"),
                                  QStringLiteral("Web Directory"), "SLBL0426", txtwebdirectory), 0, 0);
    appLayout->addWidget(txtwebdirectory, 0, 1);
    appLayout->addWidget(cmdBrowse2, 0, 2);
    appLayout->setColumnStretch(1, 1);
    return fraAppSetting;
}

QWidget *frmEditConfigurationMergeSplit::BuildLogFrame(int index, const QString &frameName)
{
    auto *frame = new QGroupBox(QStringLiteral("Log Settings"), this);
    frame->setObjectName(frameName);
    Controls::SetLabel(frame, "SLBL0247");
    auto *grid = new QGridLayout(frame);
    txtLogpath[index] = Controls::Make<QLineEdit>(frame, Indexed("txtLogpath", index));
    BtnBrowseLog[index] = NewBrowseButton(frame, Indexed("BtnBrowseLog", index));
    grid->addWidget(NewLabel(frame, Indexed("lblLogpath", index), QStringLiteral("Log Directory"), "SLBL0354", txtLogpath[index]), 0, 0);
    grid->addWidget(txtLogpath[index], 0, 1);
    grid->addWidget(BtnBrowseLog[index], 0, 2);
    grid->setColumnStretch(1, 1);
    return frame;
}

QWidget *frmEditConfigurationMergeSplit::BuildLedgerhallTab()
{
    auto *tab = new QWidget(SSTab1);
    tab->setObjectName(QStringLiteral("tabLedgerhall"));
    auto *layout = new QVBoxLayout(tab);
    const std::array<const char *, 2> frameNames = {"fraLHsettings", "Frame4"};
    for (int i = 0; i < 2; ++i) {
        const Product &product = MergeSplitProduct(i);
        auto *frame = new QGroupBox(QLatin1String(product.name), tab);
        frame->setObjectName(QLatin1String(frameNames[i]));
        Controls::SetLabel(frame, product.nameLabel);
        auto *grid = new QGridLayout(frame);
        txtconnection[i] = Controls::Make<QLineEdit>(frame, Indexed("txtconnection", i));
        txtBatch[i] = Controls::Make<QLineEdit>(frame, Indexed("txtBatch", i));
        grid->addWidget(NewLabel(frame, Indexed("lblconnection", i), QStringLiteral("Component String:"), "SLBL0042", txtconnection[i]), 0, 0);
        grid->addWidget(txtconnection[i], 0, 1, 1, 3);
        grid->addWidget(NewLabel(frame, Indexed("lblBatch", i), QStringLiteral("Batch Size: "), "CS_MS_BATCH_SIZE", txtBatch[i]), 1, 0);
        grid->addWidget(txtBatch[i], 1, 1);
        if (product.hasXmlDelay) {
            txtDelay = Controls::Make<QLineEdit>(frame, Indexed("txtDelay", i));
            grid->addWidget(NewLabel(frame, QStringLiteral("lblDelay"), QStringLiteral("Get XML after every"), "CS_MS_XML_DELAY", txtDelay), 2, 0);
            grid->addWidget(txtDelay, 2, 1);
            auto *minutes = new QLabel(QStringLiteral("Minutes"), frame);
            minutes->setObjectName(QStringLiteral("lblMinutes"));
            Controls::SetLabel(minutes, "CS_MS_MINUTES");
            grid->addWidget(minutes, 2, 2);
        }
        grid->setColumnStretch(3, 1);
        layout->addWidget(frame);
    }
    layout->addStretch();
    return tab;
}

// ---------------------------------------------------------------------------------------
// File access

QString frmEditConfigurationMergeSplit::GetAttributeValueFromTSY(const QString &section, const QString &key) const
{
    return JointFile::GetAttributeValueFromText(m_text, section, key);
}

void frmEditConfigurationMergeSplit::WriteAttributeValueToTSY(const QString &section, const QString &key,
                                                              const QString &value)
{
    m_writes.append({section, key, value});
}

// ---------------------------------------------------------------------------------------
// Load and save

void frmEditConfigurationMergeSplit::FillPlatformLists()
{
    for (int slot = 0; slot < 2; ++slot) {
        EditorRules::FillPlatformList(m_session, *ComboPlatform[slot]);
        // A product that does not choose runs on the first platform; the chosen one is
        // unknown until a file is loaded: no entry selected.
        const bool chooses = MergeSplitProduct(slot).choosesPlatform;
        ComboPlatform[slot]->setCurrentIndex(chooses ? -1 : 0);
        ComboPlatform[slot]->setEnabled(chooses);
    }
    ApplyPlatformRule();
}

void frmEditConfigurationMergeSplit::ApplyPlatformRule()
{
    for (int slot = 0; slot < 2; ++slot) {
        if (MergeSplitProduct(slot).choosesPlatform && lblDatabase[slot] && lblmachine[slot])
            EditorRules::SetDatabaseLabels(m_session, *ComboPlatform[slot], *lblDatabase[slot], *lblmachine[slot]);
    }
    // The new texts bring their own Alt letters.
    Mnemonics::RepairWindow(*this);
}

void frmEditConfigurationMergeSplit::LoadApplicationSettings(int index)
{
    const Product &product = MergeSplitProduct(index);
    const QString section = QLatin1String(product.jointSection);
    if (product.choosesPlatform) {
        // Anything but the server-name platform, a value that is not a number included, is the first platform.
        const bool second = Vb::Val(GetAttributeValueFromTSY(section, Key::Ldbp)) == ServerNamePlatform;
        ComboPlatform[index]->setCurrentIndex(second ? 1 : 0);
    }
    txtdsn[index]->setText(GetAttributeValueFromTSY(section, Key::Dsn));
    txtdatabase[index]->setText(GetAttributeValueFromTSY(section, Key::Database));
    txtmachine[index]->setText(GetAttributeValueFromTSY(section, Key::DbMachineName));
    txtusername[index]->setText(GetAttributeValueFromTSY(section, Key::User));
    txtLogpath[index]->setText(GetAttributeValueFromTSY(section, Key::LogDirectory));
    txtconnection[index]->setText(GetAttributeValueFromTSY(section, Key::LhBusComponent));
    txtBatch[index]->setText(GetAttributeValueFromTSY(section, Key::JointBatchSize));
    if (product.hasXmlDelay)
        txtDelay->setText(GetAttributeValueFromTSY(section, Key::JointDelay));

    // One box for both sections; the opening settles its state once both are read.
    m_savePass[index] = GetAttributeValueFromTSY(section, Key::SavePass) == QLatin1String("1");
    ChkSavePass->setChecked(m_savePass[index]);
    if (!m_savePass[index])
        txtpassword[index]->clear();
    else
        txtpassword[index]->setText(UnscramblePassword(GetAttributeValueFromTSY(section, Key::Password)));
    ChkAutoLogin->setChecked(GetAttributeValueFromTSY(section, Key::AutoLogin) == QLatin1String("1"));
    if (product.hasWebDirectory)
        txtwebdirectory->setText(GetAttributeValueFromTSY(section, Key::WebDirectory));
}

void frmEditConfigurationMergeSplit::SaveApplicationSettings(int index)
{
    const Product &product = MergeSplitProduct(index);
    const QString section = QLatin1String(product.jointSection);
    auto write = [&](QLatin1StringView key, const QString &value) { WriteAttributeValueToTSY(section, key, value); };
    write(Key::Dsn, txtdsn[index]->text());
    write(Key::Database, txtdatabase[index]->text());
    write(Key::DbMachineName, txtmachine[index]->text());
    write(Key::User, txtusername[index]->text());
    write(Key::LhBusComponent, txtconnection[index]->text());
    write(Key::LogDirectory, txtLogpath[index]->text());
    if (product.choosesPlatform)
        write(Key::Ldbp, QString::number(EditorRules::ChosenPlatform(*ComboPlatform[index])));
    if (product.hasXmlDelay)
        write(Key::JointDelay, txtDelay->text());
    write(Key::JointBatchSize, txtBatch[index]->text());
    if (product.hasWebDirectory)
        write(Key::WebDirectory, txtwebdirectory->text());
    if (SavesPassword(index)) {
        write(Key::Password, ScramblePassword(txtpassword[index]->text()));
        write(Key::SavePass, QStringLiteral("1"));
    } else {
        write(Key::Password, QString());
        write(Key::SavePass, QStringLiteral("0"));
    }
    // A joint configuration always logs in by itself.
    write(Key::AutoLogin, QStringLiteral("1"));
    write(Key::Mns, QStringLiteral("1"));
}

bool frmEditConfigurationMergeSplit::ValidateSettings()
{
    auto fail = [this](const QString &text) {
        m_session.MsgBox(this, text, MsgIcon::Critical, MsgButtons::Ok);
        return false;
    };
    const QString refusal = EditorRules::WebDirectoryRefusal(m_session, txtwebdirectory->text());
    if (!refusal.isEmpty())
        return fail(refusal);
    if (Vb::Trim(txtconnection[0]->text()).isEmpty() || Vb::Trim(txtconnection[1]->text()).isEmpty())
        return fail(m_session.Text("CS_MS_FILL_LEDGERHALL"));

    // The file is single-byte text: a value it cannot hold would be lost on writing, and a
    // password that does not survive scrambling would not read back.
    const QList<QLineEdit *> fields = findChildren<QLineEdit *>();
    for (QLineEdit *field : fields) {
        if (field->echoMode() == QLineEdit::Normal && !Ansi::CanEncode(field->text()))
            return fail(m_session.Text("CS_MS_VALUE_NOT_STORABLE", field->text()));
    }
    for (int i = 0; i < 2; ++i) {
        if (SavesPassword(i) && !PasswordSurvivesScrambling(txtpassword[i]->text()))
            return fail(m_session.Text("CS_MS_PASSWORD_NOT_STORABLE"));
    }
    return true;
}

bool frmEditConfigurationMergeSplit::SavesPassword(int index) const
{
    return ChkSavePass->checkState() == Qt::PartiallyChecked ? m_savePass[index] : ChkSavePass->isChecked();
}

QStringList frmEditConfigurationMergeSplit::Snapshot() const
{
    QStringList values;
    for (const QLineEdit *field : findChildren<QLineEdit *>())
        values.append(field->text());
    for (const QComboBox *platform : ComboPlatform)
        values.append(QString::number(platform->currentIndex()));
    values.append(QString::number(ChkSavePass->checkState()));
    return values;
}

void frmEditConfigurationMergeSplit::bOk_Click()
{
    if (!ValidateSettings())
        return;
    // Nothing changed: the file stays exactly as it is.
    if (Snapshot() == m_loaded) {
        accept();
        return;
    }
    m_writes.clear();
    for (int slot = 0; slot < 2; ++slot)
        SaveApplicationSettings(slot);
    // The servers read each value back through the INI rules: one that would come back
    // changed (a password whose stored form starts with a tab, say) is refused, as the
    // publisher settings refuse it.
    for (const PendingWrite &w : std::as_const(m_writes)) {
        QString probe;
        QString why = JointFile::WhyValueChangesOnReading(m_session.Messenger(), w.value);
        if (why.isEmpty() && !JointFile::SetAttributeValueInText(probe, w.section, w.key, w.value))
            why = m_session.Text("CS_MS_LINE_BREAK");
        if (why.isEmpty())
            continue;
        const bool password = w.key == Key::Password;
        m_session.MsgBox(this,
                         m_session.Text(password ? "CS_MS_PASSWORD_CHANGES" : "CS_MS_VALUE_CHANGES", w.key,
                                        password ? QStringLiteral("********") : w.value, w.section, why),
                         MsgIcon::Critical, MsgButtons::Ok);
        return;
    }
    SaveLoadedFile::Request request;
    request.path = m_path;
    request.loaded = &m_version;
    request.whenGone = SaveLoadedFile::WhenGone::NeverCreate;
    request.compose = [this](const FileIo::FileVersion &base) {
        QString text = Ansi::Decode(base.bytes);
        for (const PendingWrite &w : std::as_const(m_writes))
            JointFile::SetAttributeValueInText(text, w.section, w.key, w.value);
        return Ansi::Encode(text);
    };
    request.failureText = m_session.Text("CS_MS_NOT_SAVED");
    switch (SaveLoadedFile::Save(m_session, this, request)) {
    case SaveLoadedFile::Outcome::Saved: accept(); break;
    case SaveLoadedFile::Outcome::ShowTheirs: Load(); break;
    case SaveLoadedFile::Outcome::NotSaved: break;
    }
}

void frmEditConfigurationMergeSplit::ChkSavePass_Click()
{
    ChkAutoLogin->setEnabled(ChkSavePass->isChecked());
}

// ---------------------------------------------------------------------------------------
// Browsing

void frmEditConfigurationMergeSplit::Browse(int target)
{
    QLineEdit *field = target == 2 ? txtwebdirectory : txtLogpath[target];
    auto *browser = new frmbrowse(m_session, this);
    oFrmBrowse = browser;
    if (browser->Load()) {
        // A start path that is not an existing folder is simply not used.
        browser->SetStartPath(field->text());
        if (browser->exec() == QDialog::Accepted)
            field->setText(browser->ChosenPath());
    }
    delete oFrmBrowse.data();
}

// ---------------------------------------------------------------------------------------
// Keyboard movement between the tabs

void frmEditConfigurationMergeSplit::FocusFirstField()
{
    // A product's tab starts at its platform list where the product chooses one.
    switch (const int tab = SSTab1->currentIndex()) {
    case 0:
    case 1: (ComboPlatform[tab]->isEnabled() ? static_cast<QWidget *>(ComboPlatform[tab]) : txtdsn[tab])->setFocus(Qt::TabFocusReason); break;
    case 2: txtconnection[0]->setFocus(Qt::TabFocusReason); break;
    default: break;
    }
}

void frmEditConfigurationMergeSplit::keyPressEvent(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Escape || event->modifiers() != Qt::NoModifier || Snapshot() == m_loaded) {
        QDialog::keyPressEvent(event);
        return;
    }
    switch (SaveLoadedFile::AskToSaveChanges(m_session, this, QFileInfo(m_path).fileName())) {
    case MsgResult::Yes: bOk_Click(); break;
    case MsgResult::No: reject(); break;
    default: break;
    }
}

bool frmEditConfigurationMergeSplit::eventFilter(QObject *watched, QEvent *event)
{
    // Only the Tab key moves on: a mouse click elsewhere must keep its target.
    if (event->type() == QEvent::FocusOut
        && static_cast<QFocusEvent *>(event)->reason() == Qt::TabFocusReason) {
        if (watched == SSTab1->tabBar()) {
            QTimer::singleShot(0, this, [this] { FocusFirstField(); });
        } else {
            for (int i = 0; i < 2; ++i) {
                if (watched == BtnBrowseLog[i]) {
                    // The last control of a tab leads into the next tab.
                    QTimer::singleShot(0, this, [this, i] {
                        SSTab1->setCurrentIndex(i + 1);
                        FocusFirstField();
                    });
                }
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}
