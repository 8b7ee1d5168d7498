// The editor window: its controls, the opening steps, the fixed layout and the event rules
// that tie the controls together. Loading and saving are in frmEditConfigurationData.cpp.
#include "ui/editor/frmEditConfiguration.h"
#include "ui/PasswordField.h"

#include "app/Session.h"
#include "suite/BackendChecks.h"
#include "ui/Controls.h"
#include "ui/DataSourceField.h"
#include "ui/EditorRules.h"
#include "ui/dialogs/frmbrowse.h"
#include "ui/editor/EditorLineEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QTabBar>

namespace {

using EditorRules::TwipsX;
using EditorRules::TwipsY;

void Place(QWidget *control, int left, int top, int width, int height)
{
    control->setGeometry(TwipsX(control, left), TwipsY(control, top), TwipsX(control, width), TwipsY(control, height));
}

template <typename T>
T *Make(QWidget *parent, const char *name, const char *caption = nullptr, const char *label = nullptr)
{
    return Controls::Make<T>(parent, QLatin1String(name), caption ? QString::fromLatin1(caption) : QString(), label);
}

constexpr int FieldHeight = 315;
constexpr int ButtonWidth = 1215;
constexpr int ButtonHeight = 375;
constexpr int PageWidth = 5300;
// The window measures 5600 x 6250 twips with its caption and borders; inside them is
// exactly the outer frame, 5500 x 5800.
constexpr int InnerWidth = 5500;
constexpr int InnerHeight = 5800;

} // namespace

frmEditConfiguration::frmEditConfiguration(Session &session, const QString &path, QWidget *parent)
    : QDialog(parent), m_session(session), m_path(path)
{
    BuildControls();
    SetToolTipLabels();
    // On the press, so that the order in which the keys come up again does not matter. Two
    // tabs: next and previous are both the other one.
    for (const QKeySequence &keys : {QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown),
                                    QKeySequence(Qt::CTRL | Qt::Key_PageUp)}) {
        auto *switchTab = new QShortcut(keys, this);
        connect(switchTab, &QShortcut::activated, this,
                [this] { TSConfig->setCurrentIndex(TSConfig->currentIndex() == 0 ? 1 : 0); });
    }
}

frmEditConfiguration::~frmEditConfiguration() = default;

bool frmEditConfiguration::Load()
{
    // Opening, in this order.
    m_session.LoadSharedTexts();
    FillLists();
    Controls::Localise(m_session, *this);
    CoverFrameCaptions();
    ShowPage(0);
    m_name = m_path.isEmpty() ? m_session.NewConfigName() : QFileInfo(m_path).fileName();
    setWindowTitle(windowTitle() + QStringLiteral(" (") + m_name + u')');
    txtLog->setText(m_session.DefaultLogDirectory());
    txtLog->setReadOnly(true);
    cmdBrowse1->setEnabled(false);
    if (const Result<void> loaded = LoadConfiguration(m_path); !loaded)
        ReportLoadError(loaded.error());
    SetDatabaseLabels();
    FirstField(0)->setFocus();
    return !m_session.QuitRequested();
}

void frmEditConfiguration::BuildControls()
{
    setObjectName(QStringLiteral("frmEditConfiguration"));
    Controls::SetLabel(this, "SLBL0496");
    setWindowTitle(QStringLiteral("Configuration Editor"));
    // A fixed dialog: no minimise or maximise buttons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);

    FraConfig = Make<QGroupBox>(this, "FraConfig");

    TSConfig = Make<QTabBar>(FraConfig, "TSConfig");
    TSConfig->setDrawBase(false);
    TSConfig->setExpanding(false);
    TSConfig->addTab(QStringLiteral("Database "));
    TSConfig->addTab(QStringLiteral("Ledgerhall"));
    Controls::SetTabLabels(TSConfig, {{"SLBL0135", "SLBL0438"}, {"SLBL0416", "SLBL0439"}});
    TSConfig->setProperty("keys", QStringList{QStringLiteral("Database"), QStringLiteral("ledgerhall")});

    // Page 1: the database connection, one row every 480 twips.
    fraDBDetails = Make<QGroupBox>(FraConfig, "fraDBDetails");
    lblAppln = Make<QLabel>(fraDBDetails, "lblAppln", "Application", "SLBL0025");
    ComboApplication = Make<QComboBox>(fraDBDetails, "ComboApplication");
    lblPlatform = Make<QLabel>(fraDBDetails, "lblPlatform", "Platform", "SLBL0424");
    ComboPlatform = Make<QComboBox>(fraDBDetails, "ComboPlatform");
    lblDSN = Make<QLabel>(fraDBDetails, "lblDSN", "DSN", "SLBL0425");
    txtdsn = Make<EditorLineEdit>(fraDBDetails, "txtdsn");
    lblDatabase = Make<QLabel>(fraDBDetails, "lblDatabase", "Database", "SLBL0135");
    txtdatabase = Make<EditorLineEdit>(fraDBDetails, "txtdatabase");
    lblmachine = Make<QLabel>(fraDBDetails, "lblmachine", "Database Server Name", "SLBL0324");
    txtmachine = Make<EditorLineEdit>(fraDBDetails, "txtmachine");
    lblUsername = Make<QLabel>(fraDBDetails, "lblUsername", "User Name", "SLBL0324");
    txtusername = Make<EditorLineEdit>(fraDBDetails, "txtusername");
    lblPassword = Make<QLabel>(fraDBDetails, "lblPassword", "Password", "SLBL0419");
    txtpassword = Make<EditorLineEdit>(fraDBDetails, "txtpassword");
    MaskWithStars(txtpassword);
    ChkSavePass = Make<QCheckBox>(fraDBDetails, "ChkSavePass", "Save Password", "SLBL0427");
    ChkAutoLogin = Make<QCheckBox>(fraDBDetails, "ChkAutoLogin", "Auto Login", "SLBL0388");
    ChkAutoLogin->setEnabled(false);
    cmdTestConnection = Make<QPushButton>(fraDBDetails, "cmdTestConnection");
    cmdTestConnection->setText(QStringLiteral("Test Connection"));
    OfferDataSources(txtdsn);

    const QList<QPair<QLabel *, QWidget *>> rows = {
        {lblAppln, ComboApplication}, {lblPlatform, ComboPlatform}, {lblDSN, txtdsn},
        {lblDatabase, txtdatabase},   {lblmachine, txtmachine},     {lblUsername, txtusername},
        {lblPassword, txtpassword},
    };
    int top = 360;
    for (const auto &[label, field] : rows) {
        // Two lines for a localised label longer than the room before the field.
        label->setWordWrap(true);
        Place(label, 240, top - 68, 1755, 450);
        Place(field, 2040, top, 3015, FieldHeight);
        top += 480;
    }
    // The boxes one row below the password, the connection test below them, at the right.
    Place(ChkSavePass, 360, 3720, 2160, FieldHeight);
    Place(ChkAutoLogin, 2640, 3720, 2415, FieldHeight);
    Place(cmdTestConnection, 3240, 4080, 1815, ButtonHeight - 30);

    // Page 2: three group frames, each with its caption label on the frame's top line.
    fraLH = Make<QGroupBox>(FraConfig, "fraLH");
    auto group = [this](const char *name, const char *caption, int top) {
        auto *frame = Make<QGroupBox>(fraLH, name);
        frame->setTitle(QLatin1String(caption));
        Place(frame, 90, top, 5100, 1245);
        return frame;
    };
    auto frameLabel = [](QGroupBox *frame, const char *name, const char *caption, const char *tag) {
        auto *label = Make<QLabel>(frame, name, caption, tag);
        // Covers the frame's own caption, which is not localised.
        label->setAutoFillBackground(true);
        Place(label, 120, 0, 2400, 255);
        return label;
    };
    fraLHsettings = group("fraLHsettings", "Ledgerhall Settings", 180);
    lblLHSettings = frameLabel(fraLHsettings, "lblLHSettings", "Ledgerhall Settings", "SLBL0258");
    Label1 = Make<QLabel>(fraLHsettings, "Label1", "Component String:", "SLBL0042");
    txtconnection = Make<EditorLineEdit>(fraLHsettings, "txtconnection");
    txtconnection->setText(QStringLiteral("cn=<mycomponent>, o=<myroot>"));

    fraLogSettings = group("fraLogSettings", "Log Settings", 1470);
    lbllogsettings = frameLabel(fraLogSettings, "lbllogsettings", "Log Settings", "SLBL0247");
    lblLog = Make<QLabel>(fraLogSettings, "lblLog", "Log Directory", "SLBL0354");
    txtLog = Make<EditorLineEdit>(fraLogSettings, "txtLog");
    txtLog->setReadOnly(true);
    cmdBrowse1 = Make<QPushButton>(fraLogSettings, "cmdBrowse1");
    cmdBrowse1->setText(QStringLiteral("..."));
    cmdBrowse1->setEnabled(false);

    fraAppSetting = group("fraAppSetting", "Application Settings", 2790);
    lblAppSetting = frameLabel(fraAppSetting, "lblAppSetting", "Application Settings", "SLBL0027");
    lblwebdirectory = Make<QLabel>(fraAppSetting, "lblwebdirectory", "Web Directory", "SLBL0426");
    txtwebdirectory = Make<EditorLineEdit>(fraAppSetting, "txtwebdirectory");
    cmdBrowse2 = Make<QPushButton>(fraAppSetting, "cmdBrowse2");
    cmdBrowse2->setText(QStringLiteral("..."));

    for (QLabel *label : {Label1, lblLog, lblwebdirectory})
        Place(label, 120, 360, 4860, 255);
    Place(txtconnection, 120, 660, 4860, FieldHeight);
    Place(txtLog, 120, 660, 4380, FieldHeight);
    Place(cmdBrowse1, 4560, 660, 420, FieldHeight);
    Place(txtwebdirectory, 120, 660, 4380, FieldHeight);
    Place(cmdBrowse2, 4560, 660, 420, FieldHeight);

    cmdOK = Make<QPushButton>(FraConfig, "cmdOK", "Save", "SLBL0423");
    cmdCancel = Make<QPushButton>(FraConfig, "cmdCancel", "Cancel", "SLBL0428");
    // Enter saves, unless another button has the focus: then Enter presses that one.
    cmdOK->setDefault(true);

    // Focus rules: most fields select their whole text; the user name keeps its start;
    // the component string selects the component's name.
    auto selectAll = [](QLineEdit &box, int) { box.setSelection(0, box.text().size()); };
    for (EditorLineEdit *box : {txtdsn, txtdatabase, txtpassword, txtLog, txtwebdirectory})
        box->SetFocusRule(selectAll);
    txtusername->SetFocusRule([](QLineEdit &box, int startBefore) {
        box.setCursorPosition(startBefore);
        if (!box.text().isEmpty())
            box.setSelection(startBefore, box.text().size());
    });
    txtconnection->SetFocusRule([](QLineEdit &box, int) {
        const int length = ComponentNameLength(box.text());
        box.setCursorPosition(qMin(3, int(box.text().size())));
        if (length > 0)
            box.setSelection(3, length);
    });

    connect(ComboApplication, &QComboBox::currentIndexChanged, this, [this] { ComboApplication_Click(); });
    connect(ChkSavePass, &QCheckBox::toggled, this, [this] { ChkSavePass_Click(); });
    connect(TSConfig, &QTabBar::currentChanged, this, [this] { TSConfig_Click(); });
    ComboPlatform->installEventFilter(this);
    connect(cmdBrowse1, &QPushButton::clicked, this, [this] { cmdBrowse_Click(BrowseLog); });
    connect(cmdBrowse2, &QPushButton::clicked, this, [this] { cmdBrowse_Click(BrowseWeb); });
    connect(cmdTestConnection, &QPushButton::clicked, this, &frmEditConfiguration::cmdTestConnection_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmEditConfiguration::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmEditConfiguration::cmdCancel_Click);

    setFixedSize(TwipsX(this, InnerWidth), TwipsY(this, InnerHeight));
    LayoutControls();
}

void frmEditConfiguration::CoverFrameCaptions()
{
    // Each group frame's caption label lies over the frame's own caption, wide enough to
    // hide it whatever the length of the localised text.
    for (QLabel *label : {lblLHSettings, lbllogsettings, lblAppSetting}) {
        auto *frame = static_cast<QGroupBox *>(label->parentWidget());
        QStyleOptionGroupBox option;
        option.initFrom(frame);
        option.text = frame->title();
        option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
        option.lineWidth = 1;
        option.textAlignment = frame->alignment();
        const QRect title = frame->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                            QStyle::SC_GroupBoxLabel, frame);
        if (title.isEmpty())
            continue;
        label->setGeometry(title.left(), title.top(), qMax(title.width(), label->sizeHint().width()),
                           title.height());
        label->raise();
    }
}

void frmEditConfiguration::LayoutControls()
{
    if (isMinimized() || isMaximized()) {
        setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
        return;
    }
    if (m_inLayout)
        return;
    m_inLayout = true;
    setFixedSize(TwipsX(this, InnerWidth), TwipsY(this, InnerHeight));
    Place(FraConfig, 0, 0, 5500, 5800);
    TSConfig->setGeometry(TwipsX(this, 100), TwipsY(this, 300), TwipsX(this, PageWidth), TSConfig->sizeHint().height());
    const int pageTop = TSConfig->geometry().bottom() + 1;
    fraDBDetails->setGeometry(TSConfig->x(), pageTop, TwipsX(this, PageWidth), TwipsY(this, 4485));
    fraLH->setGeometry(TSConfig->x(), pageTop, TwipsX(this, PageWidth), TwipsY(this, 4125));
    const int buttonWidth = TwipsX(this, ButtonWidth);
    const int gap = TwipsX(this, 700);
    const int okLeft = (width() - gap) / 2 - buttonWidth;
    const int buttonTop = fraDBDetails->geometry().bottom() + 1 + TwipsY(this, 100);
    cmdOK->setGeometry(okLeft, buttonTop, buttonWidth, TwipsY(this, ButtonHeight));
    cmdCancel->setGeometry(okLeft + buttonWidth + gap, buttonTop, buttonWidth, TwipsY(this, ButtonHeight));
    m_inLayout = false;
}

void frmEditConfiguration::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        LayoutControls();
}

void frmEditConfiguration::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    LayoutControls();
}

bool frmEditConfiguration::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ComboPlatform && event->type() == QEvent::FocusOut) {
        // Only a real move of the focus counts, not the list's own drop-down.
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
            SetDatabaseLabels();
        return false;
    }
    return QDialog::eventFilter(watched, event);
}

void frmEditConfiguration::FillLists()
{
    // Filling is not a choice: the application rule must not run here.
    const QSignalBlocker blockPlatform(ComboPlatform);
    const QSignalBlocker blockApplication(ComboApplication);
    EditorRules::FillPlatformList(m_session, *ComboPlatform);
    ComboApplication->clear();
    ComboApplication->addItem(QString());
    for (const Product &product : Products)
        ComboApplication->addItem(m_session.AppName(product.code));
    ComboPlatform->setCurrentIndex(-1);
    ComboApplication->setCurrentIndex(-1);
}

void frmEditConfiguration::SetToolTipLabels()
{
    const QList<QPair<QWidget *, const char *>> tips = {
        {txtdsn, "SLBL0305"},      {ComboPlatform, "SLBL0306"}, {txtdatabase, "SLBL0313"},
        {txtusername, "SLBL0314"}, {txtpassword, "SLBL0260"},   {ChkSavePass, "SLBL0040"},
        {ChkAutoLogin, "SLBL0038"}, {txtconnection, "SLBL0309"}, {txtLog, "SLBL0307"},
    };
    for (const auto &[control, label] : tips)
        Controls::SetTipLabel(control, label);
}

void frmEditConfiguration::SetDatabaseLabels()
{
    EditorRules::SetDatabaseLabels(m_session, *ComboPlatform, *lblDatabase, *lblmachine);
}

int frmEditConfiguration::ComponentNameLength(const QString &text)
{
    if (text.size() < 4)
        return 0;
    const qsizetype comma = text.indexOf(u',', 3);
    return comma < 0 ? 0 : int(comma - 3);
}

void frmEditConfiguration::ComboApplication_Click()
{
    const Product *product = ChosenProduct();
    if (!product || !product->choosesPlatform) {
        ComboPlatform->setCurrentIndex(0);
        ComboPlatform->setEnabled(false);
    } else {
        ComboPlatform->setEnabled(true);
    }
    fraAppSetting->setVisible(product && product->hasWebDirectory);
    SetDatabaseLabels();
}

void frmEditConfiguration::ChkSavePass_Click()
{
    // Logging on automatically needs the stored password.
    if (!ChkSavePass->isChecked())
        ChkAutoLogin->setChecked(false);
    ChkAutoLogin->setEnabled(ChkSavePass->isChecked());
}

void frmEditConfiguration::TSConfig_Click()
{
    ShowPage(TSConfig->currentIndex());
    // The focus goes with the page, not to whatever control follows the hidden one.
    FirstField(TSConfig->currentIndex())->setFocus(Qt::TabFocusReason);
}

QWidget *frmEditConfiguration::FirstField(int tab) const
{
    return tab == 0 ? static_cast<QWidget *>(ComboApplication) : txtconnection;
}

void frmEditConfiguration::GoToField(QWidget *field)
{
    TSConfig->setCurrentIndex(fraLH->isAncestorOf(field) ? 1 : 0);
    field->setFocus(Qt::OtherFocusReason);
}

void frmEditConfiguration::keyPressEvent(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Escape || event->modifiers() != Qt::NoModifier || !ConfigDataChanged()) {
        QDialog::keyPressEvent(event);
        return;
    }
    const QString question = QStringLiteral("Save the changes to %1?").arg(m_name);
    switch (m_session.MsgBox(this, question, MsgIcon::Question, MsgButtons::YesNoCancel)) {
    case MsgResult::Yes: cmdOK_Click(); break;
    case MsgResult::No: reject(); break;
    default: break;
    }
}

void frmEditConfiguration::ShowPage(int tab)
{
    fraDBDetails->setVisible(tab == 0);
    fraLH->setVisible(tab != 0);
}

void frmEditConfiguration::cmdTestConnection_Click()
{
    // The values as Save would write them.
    ConfigRecord record;
    ApplyControlsTo(record);
    TestConnection(m_session.Messenger(), ConnectionForm::Launch, record.ldbp == QString::number(ServerNamePlatform),
                   record.dsn, record.user, record.password);
}

void frmEditConfiguration::cmdBrowse_Click(qint16 target)
{
    EditorLineEdit *field = target == BrowseLog ? txtLog : txtwebdirectory;
    frmbrowse browser(m_session, this);
    if (!browser.Load())
        return;
    // A field that names no folder opens the browser where it stands, without a preset.
    browser.SetStartPath(field->text());
    if (browser.exec() == QDialog::Accepted)
        field->setText(browser.ChosenPath());
}
