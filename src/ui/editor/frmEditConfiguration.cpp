// The editor window: its controls, the opening steps, the layout and the event rules
// that tie the controls together. Loading and saving are in frmEditConfigurationData.cpp.
#include "ui/editor/frmEditConfiguration.h"
#include "ui/PasswordField.h"

#include "app/Session.h"
#include "ui/SaveLoadedFile.h"
#include "suite/BackendChecks.h"
#include "ui/BrowseButton.h"
#include "ui/Controls.h"
#include "ui/DataSourceField.h"
#include "ui/EditorRules.h"
#include "ui/Mnemonics.h"
#include "ui/WindowTitle.h"
#include "ui/dialogs/frmbrowse.h"
#include "ui/editor/EditorLineEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QTabBar>

namespace {

template <typename T>
T *Make(QWidget *parent, const char *name, const char *caption = nullptr, const char *label = nullptr)
{
    return Controls::Make<T>(parent, QLatin1String(name), caption ? QString::fromLatin1(caption) : QString(), label);
}

// Save and Cancel are as wide as each other, for their longest texts too.
constexpr int ButtonChars = 12;

} // namespace

std::span<const frmEditConfiguration::TextField> frmEditConfiguration::TextFields()
{
    using F = frmEditConfiguration;
    static const TextField fields[] = {
        {&ConfigRecord::dsn, &F::lblDSN, &F::txtdsn, "lblDSN", "DSN", "SLBL0425", "txtdsn", 0, nullptr, "SLBL0305", false, true},
        {&ConfigRecord::database, &F::lblDatabase, &F::txtdatabase, "lblDatabase", "Database", "SLBL0135", "txtdatabase", 0,
         nullptr, "SLBL0313", false, true},
        // Its text comes from the platform rule alone.
        {&ConfigRecord::dbmachinename, &F::lblmachine, &F::txtmachine, "lblmachine", "Database Server Name", nullptr,
         "txtmachine", 0, nullptr, nullptr, false, false},
        {&ConfigRecord::user, &F::lblUsername, &F::txtusername, "lblUsername", "User Name", "SLBL0324", "txtusername", 0,
         nullptr, "SLBL0314", false, true},
        {&ConfigRecord::password, &F::lblPassword, &F::txtpassword, "lblPassword", "Password", "SLBL0419", "txtpassword", 0,
         nullptr, "SLBL0260", true, false},
        {&ConfigRecord::lhbuscomponent, &F::Label1, &F::txtconnection, "Label1", "Component String:", "SLBL0042",
         "txtconnection", 1, &F::fraLHsettings, "SLBL0309", false, false},
        {&ConfigRecord::logdirectory, &F::lblLog, &F::txtLog, "lblLog", "Log Directory", "SLBL0354", "txtLog", 1,
         &F::fraLogSettings, "SLBL0307", false, false},
        {&ConfigRecord::webdirectory, &F::lblwebdirectory, &F::txtwebdirectory, "lblwebdirectory", "Web Directory",
         "SLBL0426", "txtwebdirectory", 1, &F::fraAppSetting, nullptr, false, false},
    };
    return fields;
}

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
    ShowPage(0);
    FixSize();
    m_name = m_path.isEmpty() ? m_session.NewConfigName() : QFileInfo(m_path).fileName();
    WindowTitle::Show(*this, m_session.Text("CS_EDITOR_TITLE", windowTitle(), m_name),
                      m_session.Text("CS_TITLE_NAME_FIRST", windowTitle(), m_name));
    txtLog->setText(m_session.DefaultLogDirectory());
    txtLog->setReadOnly(true);
    cmdBrowse1->setEnabled(false);
    if (const Result<void> loaded = LoadConfiguration(m_path); !loaded)
        ReportLoadError(loaded.error());
    // A value longer than its box shows its start.
    for (const TextField &field : TextFields())
        (this->*field.box)->setCursorPosition(0);
    SetDatabaseLabels();
    FirstField(0)->setFocus();
    return !m_session.QuitRequested();
}

void frmEditConfiguration::BuildControls()
{
    setObjectName(QStringLiteral("frmEditConfiguration"));
    Controls::SetLabel(this, "SLBL0496");
    setWindowTitle(QStringLiteral("Configuration Editor"));
    // A dialog: no minimise or maximise buttons; it grows with its texts and its user.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    setSizeGripEnabled(true);

    FraConfig = Make<QGroupBox>(this, "FraConfig");
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(FraConfig);
    auto *frame = new QVBoxLayout(FraConfig);
    frame->setSpacing(0);

    TSConfig = Make<QTabBar>(FraConfig, "TSConfig");
    TSConfig->setDrawBase(false);
    TSConfig->setExpanding(false);
    TSConfig->addTab(QStringLiteral("Database "));
    TSConfig->addTab(QStringLiteral("Ledgerhall"));
    Controls::SetTabLabels(TSConfig, {{"SLBL0135", "SLBL0438"}, {"SLBL0416", "SLBL0439"}});
    TSConfig->setProperty("keys", QStringList{QStringLiteral("Database"), QStringLiteral("ledgerhall")});
    frame->addWidget(TSConfig);

    BuildDatabasePage();
    BuildLedgerhallPage();
    // Both pages in one place; the tab shows one of them.
    auto *pages = new QGridLayout;
    pages->addWidget(fraDBDetails, 0, 0);
    pages->addWidget(fraLH, 0, 0);
    frame->addLayout(pages, 1);

    cmdOK = Make<QPushButton>(FraConfig, "cmdOK", "Save", "SLBL0423");
    cmdCancel = Make<QPushButton>(FraConfig, "cmdCancel", "Cancel", "SLBL0428");
    // Enter saves, unless another button has the focus: then Enter presses that one.
    cmdOK->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->setContentsMargins(0, frame->contentsMargins().bottom(), 0, 0);
    buttons->setSpacing(4 * fontMetrics().averageCharWidth());
    buttons->addStretch(1);
    for (QPushButton *button : {cmdOK, cmdCancel}) {
        button->setMinimumWidth(button->fontMetrics().averageCharWidth() * ButtonChars);
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    frame->addLayout(buttons);

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
    connect(cmdBrowse1, &QPushButton::clicked, this, [this] { cmdBrowse_Click(txtLog); });
    connect(cmdBrowse2, &QPushButton::clicked, this, [this] { cmdBrowse_Click(txtwebdirectory); });
    connect(cmdTestConnection, &QPushButton::clicked, this, &frmEditConfiguration::cmdTestConnection_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmEditConfiguration::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmEditConfiguration::cmdCancel_Click);
    SetTabOrder();
    Controls::SetAccessibleLabel(cmdBrowse1, "CS_ACCESSIBLE_BROWSE_LOG");
    Controls::SetAccessibleLabel(cmdBrowse2, "CS_ACCESSIBLE_BROWSE_WEB");
    FixSize();
}

void frmEditConfiguration::SetTabOrder()
{
    // As the fields stand: the tabs, each page from the top, then Save and Cancel.
    const QList<QWidget *> order = {TSConfig,      ComboApplication, ComboPlatform, txtdsn,          txtdatabase,
                                    txtmachine,    txtusername,      txtpassword,   ChkSavePass,     ChkAutoLogin,
                                    cmdTestConnection, txtconnection, txtLog,       cmdBrowse1,      txtwebdirectory,
                                    cmdBrowse2,    cmdOK,            cmdCancel};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void frmEditConfiguration::BuildDatabasePage()
{
    fraDBDetails = Make<QGroupBox>(FraConfig, "fraDBDetails");
    // The pages show one at a time: their Alt letters may be the same.
    fraDBDetails->setProperty("mnemonicPage", true);
    auto *grid = new QGridLayout(fraDBDetails);
    grid->setColumnStretch(1, 1);
    lblAppln = Make<QLabel>(fraDBDetails, "lblAppln", "Application", "SLBL0025");
    ComboApplication = Make<QComboBox>(fraDBDetails, "ComboApplication");
    lblPlatform = Make<QLabel>(fraDBDetails, "lblPlatform", "Platform", "SLBL0424");
    ComboPlatform = Make<QComboBox>(fraDBDetails, "ComboPlatform");
    QList<QPair<QLabel *, QWidget *>> rows = {{lblAppln, ComboApplication}, {lblPlatform, ComboPlatform}};
    for (const TextField &field : TextFields()) {
        if (field.tab != 0)
            continue;
        this->*field.label = Make<QLabel>(fraDBDetails, field.labelName, field.caption, field.labelId);
        this->*field.box = Make<EditorLineEdit>(fraDBDetails, field.boxName);
        rows.append({this->*field.label, this->*field.box});
    }
    MaskWithStars(txtpassword);
    OfferDataSources(txtdsn);
    for (const auto &[label, field] : rows) {
        label->setBuddy(field);
        grid->addWidget(label, grid->rowCount(), 0);
        grid->addWidget(field, grid->rowCount() - 1, 1);
    }
    ChkSavePass = Make<QCheckBox>(fraDBDetails, "ChkSavePass", "Save Password", "SLBL0427");
    ChkAutoLogin = Make<QCheckBox>(fraDBDetails, "ChkAutoLogin", "Auto Login", "SLBL0388");
    ChkAutoLogin->setEnabled(false);
    const int boxes = grid->rowCount();
    grid->addWidget(ChkSavePass, boxes, 0);
    grid->addWidget(ChkAutoLogin, boxes, 1);
    cmdTestConnection = Make<QPushButton>(fraDBDetails, "cmdTestConnection", "Test Connection", "CS_TEST_CONNECTION");
    grid->addWidget(cmdTestConnection, boxes + 1, 1, Qt::AlignRight);
    grid->setRowStretch(boxes + 2, 1);
}

void frmEditConfiguration::BuildLedgerhallPage()
{
    fraLH = Make<QGroupBox>(FraConfig, "fraLH");
    fraLH->setProperty("mnemonicPage", true);
    auto *column = new QVBoxLayout(fraLH);
    // Each group frame has a caption label on its top line, which covers the frame's own.
    auto group = [this, column](const char *name, const char *caption, const char *labelName, const char *labelId) {
        auto *frame = Make<QGroupBox>(fraLH, name);
        frame->setTitle(QLatin1String(caption));
        Controls::SetLabel(frame, labelId);
        auto *label = Make<QLabel>(frame, labelName, caption, labelId);
        label->setAutoFillBackground(true);
        new QVBoxLayout(frame);
        column->addWidget(frame);
        return std::pair{frame, label};
    };
    std::tie(fraLHsettings, lblLHSettings) = group("fraLHsettings", "Ledgerhall Settings", "lblLHSettings", "SLBL0258");
    std::tie(fraLogSettings, lbllogsettings) = group("fraLogSettings", "Log Settings", "lbllogsettings", "SLBL0247");
    std::tie(fraAppSetting, lblAppSetting) = group("fraAppSetting", "Application Settings", "lblAppSetting", "SLBL0027");
    column->addStretch(1);
    cmdBrowse1 = Make<BrowseButton>(fraLogSettings, "cmdBrowse1");
    cmdBrowse2 = Make<BrowseButton>(fraAppSetting, "cmdBrowse2");
    for (const TextField &field : TextFields()) {
        if (field.tab != 1)
            continue;
        QGroupBox *frame = this->*field.frame;
        this->*field.label = Make<QLabel>(frame, field.labelName, field.caption, field.labelId);
        this->*field.box = Make<EditorLineEdit>(frame, field.boxName);
        (this->*field.label)->setBuddy(this->*field.box);
        auto *row = new QHBoxLayout;
        row->addWidget(this->*field.box, 1);
        // A folder field has its browse button beside it.
        for (QPushButton *browse : {cmdBrowse1, cmdBrowse2}) {
            if (browse->parentWidget() == frame) {
                browse->setText(QStringLiteral("..."));
                Controls::SetLabel(browse, "CS_BROWSE_BUTTON");
                row->addWidget(browse);
            }
        }
        auto *inside = static_cast<QVBoxLayout *>(frame->layout());
        inside->addWidget(this->*field.label);
        inside->addLayout(row);
    }
    txtconnection->setText(QStringLiteral("cn=<mycomponent>, o=<myroot>"));
    txtLog->setReadOnly(true);
    cmdBrowse1->setEnabled(false);
}

void frmEditConfiguration::FixSize()
{
    CoverFrameCaptions();
    layout()->activate();
    // Room for the longest texts either page holds, whichever shows.
    for (QGroupBox *page : {fraDBDetails, fraLH})
        page->setMinimumSize(0, 0);
    const QSize pages = fraDBDetails->minimumSizeHint().expandedTo(fraLH->minimumSizeHint());
    for (QGroupBox *page : {fraDBDetails, fraLH})
        page->setMinimumSize(pages);
    layout()->activate();
    setMinimumSize(minimumSizeHint());
    // (Never shown yet, a window's size is no one's choice.)
    const QSize chosen = testAttribute(Qt::WA_Resized) ? size() : QSize();
    resize(chosen.expandedTo(QSize(pages.width() * 5 / 4, 0)).expandedTo(sizeHint()));
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

void frmEditConfiguration::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    // The window keeps its size: it is neither minimised nor maximised.
    if (event->type() == QEvent::WindowStateChange && (isMinimized() || isMaximized()))
        setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
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
        {ComboPlatform, "SLBL0306"}, {ChkSavePass, "SLBL0040"}, {ChkAutoLogin, "SLBL0038"}};
    for (const auto &[control, label] : tips)
        Controls::SetTipLabel(control, label);
    for (const TextField &field : TextFields()) {
        if (field.tipId)
            Controls::SetTipLabel(this->*field.box, field.tipId);
    }
}

void frmEditConfiguration::SetDatabaseLabels()
{
    EditorRules::SetDatabaseLabels(m_session, *ComboPlatform, *lblDatabase, *lblmachine);
    // The new texts bring their own Alt letters.
    Mnemonics::RepairWindow(*this);
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
    switch (SaveLoadedFile::AskToSaveChanges(m_session, this, m_name)) {
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

void frmEditConfiguration::cmdBrowse_Click(EditorLineEdit *field)
{
    frmbrowse browser(m_session, this);
    if (!browser.Load())
        return;
    // A field that names no folder opens the browser where it stands, without a preset.
    browser.SetStartPath(field->text());
    if (browser.exec() == QDialog::Accepted)
        field->setText(browser.ChosenPath());
}
