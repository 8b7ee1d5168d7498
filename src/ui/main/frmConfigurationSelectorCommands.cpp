// The main window's file commands. Each one that opens a window waits for it and then
// refreshes the list, so that files the window created, moved or deleted show at once.
#include "ui/main/frmConfigurationSelector.h"

#include "app/Session.h"
#include "mergesplit/frmEditConfigurationMergeSplit.h"
#include "mergesplit/frmMergeAndSplit.h"
#include "platform/FileIo.h"
#include "ui/dialogs/frmAbout.h"
#include "ui/editor/frmEditConfiguration.h"
#include "ui/main/Launching.h"

#include <QTreeWidget>

void frmConfigurationSelector::mnuRefresh_Click()
{
    QString remembered;
    if (LVConfig->topLevelItemCount() > 0) {
        if (const QTreeWidgetItem *item = SelectedItem())
            remembered = item->text(0);
    }
    // When the remembered entry has gone, the selection keeps naming it.
    const QString oldName = m_session.SelectedConfigName;
    const QString oldPath = m_session.SelectedConfigPath;

    Vb::Error error;
    if (!FillListView(&error)) {
        ReportError(error);
        return;
    }

    bool found = false;
    {
        const bool wasUpdating = m_updatingList;
        m_updatingList = true;
        for (int i = 0; i < LVConfig->topLevelItemCount(); ++i) {
            QTreeWidgetItem *item = LVConfig->topLevelItem(i);
            if (item->text(0) == remembered) {
                LVConfig->setCurrentItem(item, 0, SelectOnly);
                found = true;
                break;
            }
            item->setSelected(false);
        }
        m_updatingList = wasUpdating;
    }
    if (found) {
        m_session.SelectedConfigName = SelectedItem()->text(0);
        m_session.SelectedConfigPath = m_session.ConfigDirectory + u'/' + m_session.SelectedConfigName;
    } else {
        m_session.SelectedConfigName = oldName;
        m_session.SelectedConfigPath = oldPath;
    }
    LVConfig->setFocus();
}

void frmConfigurationSelector::mnuNew_Click()
{
    m_session.SelectedConfigPath.clear();
    m_session.SelectedConfigName = m_session.NewConfigName;
    {
        frmEditConfiguration editor(m_session);
        editor.exec();
    }
    mnuRefresh_Click();
}

void frmConfigurationSelector::mnuUpdate_Click()
{
    if (IsMergeSplitSelected) {
        frmEditConfigurationMergeSplit editor(m_session);
        editor.exec();
    } else {
        // No file yet: the editor makes a new one under the default name.
        if (m_session.SelectedConfigPath.isEmpty())
            m_session.SelectedConfigName = m_session.NewConfigName;
        frmEditConfiguration editor(m_session);
        editor.exec();
    }
    mnuRefresh_Click();
}

void frmConfigurationSelector::mnuRename_Click()
{
    // Without a selected entry there is nothing to rename.
    if (QTreeWidgetItem *item = SelectedItem())
        LVConfig->editItem(item, 0);
}

void frmConfigurationSelector::mnuDelete_Click()
{
    if (m_session.MsgBox(m_session.GetText(QStringLiteral("SLBL0029")), MsgIcon::None, MsgButtons::YesNo)
        != MsgResult::Yes)
        return;
    DeleteConfigFile(m_session.SelectedConfigPath);
    mnuRefresh_Click();
}

bool frmConfigurationSelector::DeleteConfigFile(const QString &ConfigFileName)
{
    Vb::Error error;
    if (FileIo::DeleteFile(ConfigFileName, &error))
        return true;
    m_session.MsgBox(m_session.GetText(QStringLiteral("SLBL0119")), MsgIcon::Information);
    return false;
}

void frmConfigurationSelector::MnSConfig_Click()
{
    // The user selects one Fieldmark and one Rostrum configuration. An entry of no known
    // application is passed over; the names picked stay for the next use until the
    // publisher dialog completes.
    QString first;
    const int n = LVConfig->topLevelItemCount();
    for (int i = 0; i < n; ++i) {
        const QTreeWidgetItem *item = LVConfig->topLevelItem(i);
        // A refresh after the dialog can leave fewer entries than there were.
        if (!item)
            break;
        if (!item->isSelected())
            continue;
        const ConfigEntry entry = EntryOf(item);
        if (!first.isEmpty() && first != QLatin1String("0")) {
            const qint16 c = entry.ProductCode;
            if (c == first.toInt() || c == WebtrellProduct) {
                m_session.MsgBox(QStringLiteral("invalid products for Merge and split"));
                return;
            }
            if (c == FieldmarkProduct)
                m_session.MnSFieldmarkConfig = entry.FileName;
            else if (c == RostrumProduct)
                m_session.MnSRostrumConfig = entry.FileName;
            if (!Vb::Trim(m_session.MnSFieldmarkConfig).isEmpty() && !Vb::Trim(m_session.MnSRostrumConfig).isEmpty()) {
                {
                    frmMergeAndSplit publisher(m_session, SelectedEntries(), this);
                    // A database that cannot be reached ends the program from the dialog's load.
                    if (m_session.QuitRequested())
                        return;
                    publisher.exec();
                }
                mnuRefresh_Click();
            }
        } else {
            first = QString::number(entry.ProductCode);
            if (first == QLatin1String("4010")) {
                m_session.MsgBox(QStringLiteral("invalid products for Merge and split"));
                return;
            }
            if (first == QLatin1String("4009"))
                m_session.MnSFieldmarkConfig = entry.FileName;
            else if (first == QLatin1String("1028"))
                m_session.MnSRostrumConfig = entry.FileName;
        }
    }
}

void frmConfigurationSelector::mnuExit_Click() { close(); }

void frmConfigurationSelector::mnuAbout_Click()
{
    frmAbout about(m_session);
    about.exec();
}

void frmConfigurationSelector::mnuExecute_Click()
{
    RunServerConsole(m_session, m_session.SelectedConfigPath, IsMergeSplitSelected);
}

void frmConfigurationSelector::mnuExecuteJS_Click() { RunJavaServer(m_session, SelectedEntries()); }
