// The main window's frame: menus, tool bars, cool bar, filter, status bar, the load, and the
// wiring of the actions and the list to the commands.
#include "ui/main/frmConfigurationSelector.h"

#include "app/Session.h"
#include "ui/frmSplash.h"
#include "platform/MakeFolder.h"
#include "ui/Controls.h"
#include "ui/ElidedLabel.h"
#include "ui/Mnemonics.h"
#include "ui/WindowState.h"
#include "ui/main/FileList.h"
#include "ui/main/MainCommands.h"

#include <QAction>
#include <QActionEvent>
#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

QAction *NamedAction(QObject *parent, const char *name, const QString &caption, const char *label = nullptr)
{
    return Controls::Make<QAction>(parent, QLatin1String(name), caption, label);
}

QAction *Separator(QMenu *menu, const char *name)
{
    QAction *sep = menu->addSeparator();
    sep->setObjectName(QLatin1String(name));
    return sep;
}

// A tool bar button for a menu command: the command's own action, with a picture the action
// does not carry (a picture on the action would widen every menu that holds it).
class CommandButton final : public QToolButton
{
public:
    CommandButton(QToolBar *bar, QAction *command, const QIcon &icon) : QToolButton(bar), m_icon(icon)
    {
        // As the tool bar makes its own buttons.
        setAutoRaise(true);
        setFocusPolicy(Qt::NoFocus);
        setIconSize(bar->iconSize());
        setToolButtonStyle(bar->toolButtonStyle());
        setDefaultAction(command);
        setIcon(m_icon);
    }

protected:
    void actionEvent(QActionEvent *event) override
    {
        // A change of the action sets the button from it again, picture included.
        QToolButton::actionEvent(event);
        if (event->type() == QEvent::ActionChanged)
            setIcon(m_icon);
    }

private:
    QIcon m_icon;
};

} // namespace

frmConfigurationSelector::frmConfigurationSelector(Session &session, QWidget *parent)
    : QMainWindow(parent), m_session(session), m_list(new FileList(session, this)),
      m_commands(new MainCommands(session, *m_list, this))
{
    setObjectName(QStringLiteral("frmConfigurationSelector"));
    setWindowTitle(QStringLiteral("Quorra Tessaly - Configuration Selector"));
    Controls::SetLabel(this, "SLBL0372");
    resize(960, 520);
    WindowState::Keep(this, objectName(), WindowState::Remember::SizeAndPosition);

    CreateMenus();

    auto *central = new QWidget(this);
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    // The cool bar: one row of bands on top, hidden as a whole by the view toggle.
    cbMain = new QWidget(central);
    cbMain->setObjectName(QStringLiteral("cbMain"));
    auto *bands = new QHBoxLayout(cbMain);
    bands->setContentsMargins(2, 1, 2, 1);
    bands->setSpacing(2);
    CreateToolBars();
    for (QToolBar *bar : {tbNED, tbExecute, tlbJS, tbRefresh, tbExit})
        bands->addWidget(bar);
    bands->addStretch(1);
    column->addWidget(cbMain);
    CreateFilterRow(central);
    column->addWidget(m_list->View(), 1);
    setCentralWidget(central);
    CreateStatusBar();
    BindCommands();
    // As they stand from the top: the filter row, the list, the status bar's Cancel.
    setTabOrder(txtFilter, chkRunningOnly);
    setTabOrder(chkRunningOnly, m_list->View());
    setTabOrder(m_list->View(), m_stopCancel);
    Controls::SetAccessibleLabel(txtFilter, "CS_ACCESSIBLE_FILTER");
    Controls::SetAccessibleLabel(m_list->View(), "CS_ACCESSIBLE_LIST");
}

void frmConfigurationSelector::CreateFilterRow(QWidget *central)
{
    txtFilter = new QLineEdit(central);
    txtFilter->setObjectName(QStringLiteral("txtFilter"));
    Controls::SetPlaceholderLabel(txtFilter, "CS_MAIN_FILTER");
    txtFilter->setClearButtonEnabled(true);
    txtFilter->installEventFilter(this);
    auto *filterRow = new QHBoxLayout;
    filterRow->setSpacing(6);
    filterRow->addWidget(txtFilter, 1);
    chkRunningOnly = new QCheckBox(QStringLiteral("Running only"), central);
    chkRunningOnly->setObjectName(QStringLiteral("chkRunningOnly"));
    Controls::SetLabel(chkRunningOnly, "CS_MAIN_RUNNING_ONLY");
    filterRow->addWidget(chkRunningOnly);
    static_cast<QVBoxLayout *>(central->layout())->addLayout(filterRow);
    auto *findAction = new QAction(this);
    findAction->setObjectName(QStringLiteral("actFilter"));
    findAction->setShortcut(QKeySequence::Find);
    addAction(findAction);
    connect(findAction, &QAction::triggered, this, [this] {
        txtFilter->setFocus(Qt::ShortcutFocusReason);
        txtFilter->selectAll();
    });
    const auto filterChanged = [this] { m_list->SetFilter(txtFilter->text(), chkRunningOnly->isChecked()); };
    connect(txtFilter, &QLineEdit::textChanged, this, filterChanged);
    connect(chkRunningOnly, &QCheckBox::toggled, this, filterChanged);
}

void frmConfigurationSelector::CreateStatusBar()
{
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    setStatusBar(StatusBar1);
    // Labels rather than the bar's passing message, which a hovered menu item wipes out.
    m_outcomeLabel = new ElidedLabel(StatusBar1);
    m_outcomeLabel->setObjectName(QStringLiteral("lblOutcome"));
    StatusBar1->addWidget(m_outcomeLabel, 1);
    m_stopCancel = new QPushButton(QStringLiteral("Cancel"), StatusBar1);
    m_stopCancel->setObjectName(QStringLiteral("btnStopCancel"));
    Controls::SetLabel(m_stopCancel, "SLBL0428");
    Controls::SetTipLabel(m_stopCancel, "CS_MAIN_STOP_CANCEL_TIP");
    m_stopCancel->hide();
    StatusBar1->addWidget(m_stopCancel);
    m_countLabel = new QLabel(StatusBar1);
    m_countLabel->setObjectName(QStringLiteral("lblCount"));
    StatusBar1->addPermanentWidget(m_countLabel);
}

void frmConfigurationSelector::BindCommands()
{
    using Command = MainCommands::Command;
    const std::pair<Command, QAction *> bound[] = {
        {Command::New, mnuNew},         {Command::Update, mnuUpdate},   {Command::Rename, mnuRename},
        {Command::Delete, mnuDelete},   {Command::MergeSplit, MnSConfig}, {Command::Exit, mnuExit},
        {Command::Refresh, mnuRefresh}, {Command::Run, mnuExecute},     {Command::RunJavaServer, mnuExecuteJS},
        {Command::Stop, mnuStop},       {Command::ShowLog, mnuShowLog}, {Command::About, mnuAbout},
    };
    for (const auto &[command, action] : bound)
        m_commands->Bind(command, action);
    // The action has already flipped its tick; the layout moves the list.
    connect(mnuToolbar, &QAction::triggered, cbMain, &QWidget::setVisible);
    connect(mnuStatusbar, &QAction::triggered, StatusBar1, &QWidget::setVisible);

    // Enter opens the highlighted row, only while the list itself has the focus: in the
    // in-place editor Enter ends the edit.
    auto *openRow = new QAction(m_list->View());
    openRow->setObjectName(QStringLiteral("actOpenRow"));
    openRow->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    openRow->setShortcutContext(Qt::WidgetShortcut);
    m_list->View()->addAction(openRow);
    connect(openRow, &QAction::triggered, this, [this] {
        if (mnuUpdate->isEnabled())
            m_commands->Execute(MainCommands::Command::Update);
    });
    connect(m_list, &FileList::SelectionChanged, this, [this] {
        m_commands->UpdateEnabling();
        ShowCount();
    });
    connect(m_list, &FileList::Outcome, m_outcomeLabel, &ElidedLabel::SetFullText);
    connect(m_list, &FileList::Activated, m_commands, &MainCommands::Activate);
    connect(m_list, &FileList::ContextMenu, this, [this](const QPoint &global, bool onRow) {
        (onRow ? mnuRowContext : mnuListContext)->popup(global);
    });
    connect(m_commands, &MainCommands::StopWaiting, m_stopCancel, &QWidget::setVisible);
    connect(m_stopCancel, &QPushButton::clicked, m_commands, &MainCommands::CancelStop);
}

frmConfigurationSelector::~frmConfigurationSelector() = default;

void frmConfigurationSelector::CreateMenus()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("mnuBar"));

    mnuFile = bar->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    Controls::SetLabel(mnuFile->menuAction(), "SLBL0398");
    mnuNew = NamedAction(this, "mnuNew", QStringLiteral("New"), "SLBL0399");
    mnuNew->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    mnuFile->addAction(mnuNew);
    mnuSep1 = Separator(mnuFile, "mnuSep1");
    mnuSep1->setVisible(false);
    mnuSetDefault = NamedAction(this, "mnuSetDefault", QStringLiteral("Set as &Default"), "SLBL0406");
    mnuSetDefault->setVisible(false);
    mnuSetDefault->setEnabled(false);
    mnuFile->addAction(mnuSetDefault);
    mnuSep2 = Separator(mnuFile, "mnuSep2");
    mnuUpdate = NamedAction(this, "mnuUpdate", QStringLiteral("Update"), "SLBL0400");
    mnuUpdate->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    mnuFile->addAction(mnuUpdate);
    mnuRename = NamedAction(this, "mnuRename", QStringLiteral("Rename"), "SLBL0458");
    mnuRename->setShortcut(QKeySequence(Qt::Key_F2));
    mnuFile->addAction(mnuRename);
    mnuDelete = NamedAction(this, "mnuDelete", QStringLiteral("Delete"), "SLBL0401");
    mnuDelete->setShortcut(QKeySequence(Qt::Key_Delete));
    mnuFile->addAction(mnuDelete);
    MnSConfig = NamedAction(this, "MnSConfig", QStringLiteral("Merge and Split Configuration"), "CS_MAIN_MERGE_SPLIT");
    MnSConfig->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
    mnuFile->addAction(MnSConfig);
    mnuSep3 = Separator(mnuFile, "mnuSep3");
    mnuExit = NamedAction(this, "mnuExit", QStringLiteral("Exit"), "SLBL0381");
    mnuExit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    mnuFile->addAction(mnuExit);

    mnuView = bar->addMenu(QStringLiteral("&View"));
    mnuView->setObjectName(QStringLiteral("mnuView"));
    Controls::SetLabel(mnuView->menuAction(), "SLBL0382");
    mnuToolbar = NamedAction(this, "mnuToolbar", QStringLiteral("Tool bar"), "SLBL0402");
    mnuToolbar->setCheckable(true);
    mnuToolbar->setChecked(true);
    mnuView->addAction(mnuToolbar);
    mnuStatusbar = NamedAction(this, "mnuStatusbar", QStringLiteral("Status bar"), "SLBL0403");
    mnuStatusbar->setCheckable(true);
    mnuStatusbar->setChecked(true);
    mnuStatusbar->setVisible(false);
    mnuView->addAction(mnuStatusbar);
    mnuSep4 = Separator(mnuView, "mnuSep4");
    mnuRefresh = NamedAction(this, "mnuRefresh", QStringLiteral("Refresh"), "SLBL0384");
    mnuRefresh->setShortcut(QKeySequence(Qt::Key_F5));
    mnuView->addAction(mnuRefresh);

    mnuRun = bar->addMenu(QStringLiteral("&Run"));
    mnuRun->setObjectName(QStringLiteral("mnuRun"));
    Controls::SetLabel(mnuRun->menuAction(), "SLBL0404");
    mnuExecute = NamedAction(this, "mnuExecute", QStringLiteral("Run Server Console"), "SLBL0405");
    mnuExecute->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    mnuRun->addAction(mnuExecute);
    mnuExecuteJS = NamedAction(this, "mnuExecuteJS", QStringLiteral("Run Java Server"), "CS_MAIN_RUN_JAVA");
    mnuExecuteJS->setVisible(false);
    mnuRun->addAction(mnuExecuteJS);
    mnuRun->addSeparator();
    mnuStop = NamedAction(this, "mnuStop", QStringLiteral("&Stop"), "CS_MAIN_STOP");
    // Not a modifier away from Run's Ctrl+R.
    mnuStop->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Period));
    mnuRun->addAction(mnuStop);
    mnuShowLog = NamedAction(this, "mnuShowLog", QStringLiteral("Show &Log"), "CS_MAIN_SHOW_LOG");
    mnuShowLog->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    mnuRun->addAction(mnuShowLog);

    mnuTools = bar->addMenu(QStringLiteral("&Tools"));
    mnuTools->setObjectName(QStringLiteral("mnuTools"));
    Controls::SetLabel(mnuTools->menuAction(), "SLBL0390");
    mnuTools->menuAction()->setVisible(false);
    mnuOptions = NamedAction(this, "mnuOptions", QStringLiteral("Options"), "SLBL0407");
    mnuOptions->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    mnuTools->addAction(mnuOptions);

    mnuHelp = bar->addMenu(QStringLiteral("&Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    Controls::SetLabel(mnuHelp->menuAction(), "SLBL0392");
    mnuAbout = NamedAction(this, "mnuAbout", QStringLiteral("About"), "SLBL0391");
    mnuHelp->addAction(mnuAbout);

    // The row commands again, on a right click; the list's empty space offers New and Refresh.
    mnuRowContext = new QMenu(this);
    mnuRowContext->setObjectName(QStringLiteral("mnuRowContext"));
    mnuRowContext->addActions({mnuUpdate, mnuRename, mnuDelete, MnSConfig});
    mnuRowContext->addSeparator();
    mnuRowContext->addActions({mnuExecute, mnuStop, mnuShowLog});
    mnuListContext = new QMenu(this);
    mnuListContext->setObjectName(QStringLiteral("mnuListContext"));
    mnuListContext->addActions({mnuNew, mnuRefresh});
}

void frmConfigurationSelector::AddButton(QToolBar *bar, QAction *command, const char *tipLabel,
                                         const char *themeIcon, const QString &fallback)
{
    Controls::SetTipLabel(command, tipLabel);
    // The desktop's own icons where the theme has them, our drawings elsewhere.
    bar->addWidget(new CommandButton(bar, command, QIcon::fromTheme(QLatin1String(themeIcon),
                                     QIcon(QStringLiteral(":/icons/") + fallback + QStringLiteral(".png")))));
}

void frmConfigurationSelector::CreateToolBars()
{
    auto makeBar = [this](const char *name) {
        auto *bar = new QToolBar(cbMain);
        bar->setObjectName(QLatin1String(name));
        bar->setMovable(false);
        bar->setFloatable(false);
        bar->setIconSize(QSize(24, 24));
        bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
        return bar;
    };
    // Each button is its menu command's own action: one enabling, one shortcut, one slot.
    tbNED = makeBar("tbNED");
    AddButton(tbNED, mnuNew, "SLBL0440", "document-new", QStringLiteral("new"));
    AddButton(tbNED, mnuUpdate, "SLBL0441", "document-properties", QStringLiteral("edit"));
    AddButton(tbNED, mnuDelete, "SLBL0442", "edit-delete", QStringLiteral("delete"));
    // No theme has a picture for joining two configurations.
    AddButton(tbNED, MnSConfig, "CS_MAIN_MERGE_SPLIT_TIP", "", QStringLiteral("mergesplit"));

    tbExecute = makeBar("tbExecute");
    AddButton(tbExecute, mnuExecute, "SLBL0444", "media-playback-start", QStringLiteral("run"));
    AddButton(tbExecute, mnuStop, "CS_MAIN_STOP_TIP", "media-playback-stop", QStringLiteral("stop"));
    AddButton(tbExecute, mnuShowLog, "CS_MAIN_SHOW_LOG_TIP", "text-x-generic", QStringLiteral("log"));

    tlbJS = makeBar("tlbJS");
    AddButton(tlbJS, mnuExecuteJS, "CS_MAIN_RUN_JAVA_TIP", "", QStringLiteral("runjs"));
    tlbJS->setVisible(false);

    tbRefresh = makeBar("tbRefresh");
    AddButton(tbRefresh, mnuRefresh, "SLBL0445", "view-refresh", QStringLiteral("refresh"));

    tbExit = makeBar("tbExit");
    AddButton(tbExit, mnuExit, "SLBL0443", "application-exit", QStringLiteral("exit"));
}

bool frmConfigurationSelector::Load()
{
    {
        frmSplash splash(m_session);
        splash.exec();
    }

    m_session.LoadSharedTexts();
    m_session.LoadProgramTitle();

    Controls::Localise(m_session, *this);
    // Localised captions can give two visible items of one menu the same Alt letter: the later
    // item moves to its first letter still free, so a letter never means two commands.
    for (QMenu *menu : {mnuFile, mnuView, mnuRun, mnuTools, mnuHelp})
        Mnemonics::RepairMenu(menu->actions());

    if (const Result<void> made = MakeFolderIfMissing(m_session.DefaultLogDirectory()); !made) {
        ReportError(made.error());
        return !m_session.QuitRequested();
    }
    if (const Result<void> made = MakeFolderIfMissing(m_session.ConfigDirectory()); !made) {
        ReportError(made.error());
        return !m_session.QuitRequested();
    }
    // The commands follow the highlighted first row.
    if (const QStringList problems = m_list->Load(); !problems.isEmpty())
        m_session.MsgBox(this, problems.join(QStringLiteral("\r\n")), MsgIcon::Information);
    m_commands->UpdateEnabling();
    ShowCount();
    // The keys act on the list from the start, not on the filter box above it.
    m_list->View()->setFocus();
    return !m_session.QuitRequested();
}

void frmConfigurationSelector::ReportError(const Failure &error)
{
    m_session.MsgBox(this, QString::number(error.number) + u' ' + m_session.Text(error.Text()), MsgIcon::Information);
}

QString frmConfigurationSelector::SelectedConfigName() const { return m_list->Target(); }

QString frmConfigurationSelector::SelectedConfigPath() const
{
    const QString name = m_list->Target();
    return name.isEmpty() ? QString() : m_session.ConfigDirectory() + u'/' + name;
}

void frmConfigurationSelector::ShowCount()
{
    const int count = m_list->Count();
    QString shown = count == 1 ? m_session.Text("CS_MAIN_COUNT_ONE") : m_session.Text("CS_MAIN_COUNT", QString::number(count));
    if (!txtFilter->text().isEmpty() || chkRunningOnly->isChecked())
        shown = m_session.Text("CS_MAIN_COUNT_SHOWN", QString::number(m_list->Shown()), shown);
    m_countLabel->setText(shown);
}

void frmConfigurationSelector::closeEvent(QCloseEvent *event)
{
    if (!m_commands->MayClose()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

void frmConfigurationSelector::hideEvent(QHideEvent *event)
{
    m_list->SaveLayout();
    QMainWindow::hideEvent(event);
}

bool frmConfigurationSelector::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtFilter && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        txtFilter->clear();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}
