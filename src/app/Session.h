#pragma once

#include "app/LocalisedText.h"
#include "app/Messages.h"
#include "config/ConfigRecord.h"

#include <QString>
#include <array>
#include <functional>
#include <memory>

class QObject;

// The program-wide state of one run: the application directory, the configuration record
// that the editors and the command-line mode fill, the main window's selection, the shared
// texts read at load, and the services every window uses (texts, messages, ending the program).
class Session final
{
public:
    // appDir: the directory that holds the program (no trailing separator).
    Session(const QString &appDir, Messages &messages);
    ~Session();
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    const QString &AppDir() const { return m_appDir; }
    // appDir + "/" + name.
    QString AppPath(const QString &name) const;

    // Localised text by label identifier; never fails (see LocalisedText).
    QString GetText(const QString &label) { return m_texts.GetText(label); }

    // A message box; an empty title means the program title. A window passes itself as
    // asker, so that the box is shown over it; the operations below the windows pass none.
    MsgResult MsgBox(const QString &text, MsgIcon icon = MsgIcon::None,
                     MsgButtons buttons = MsgButtons::Ok, const QString &title = QString());
    MsgResult MsgBox(QObject *asker, const QString &text, MsgIcon icon = MsgIcon::None,
                     MsgButtons buttons = MsgButtons::Ok, const QString &title = QString());

    // Ends the whole program at once: every event loop returns. The windows install a handler
    // that also closes them; tests install one to observe it instead.
    void Quit();
    bool QuitRequested() const { return m_quitRequested; }
    void SetQuitHandler(std::function<void()> handler) { m_quitHandler = std::move(handler); }

    // Reads the shared texts (display names, NewConfigName) again.
    void LoadSharedTexts();
    // The display name of a product (FieldmarkAppName, WebtrellAppName, RostrumAppName) as
    // LoadSharedTexts read it; "" for a code of no product.
    QString AppName(qint16 productCode) const;

    // --- program-wide state, named as the users of the program know it ---
    QString ProgramTitle;      // title of every message box without its own (SLBL0503)
    QString NewConfigName;     // SLBL0371
    QString ConfigDirectory;   // AppDir/lib
    QString DefaultLogDirectory; // AppDir/log

    ConfigRecord CurrentConfig;
    QString SelectedConfigName;
    QString SelectedConfigPath;
    QString MnSFieldmarkConfig;
    QString MnSRostrumConfig;

    // How long the splash window stays; 2000 ms unless a test shortens it.
    int SplashMilliseconds = 2000;

    // The name dialog is created on first use and only hidden afterwards, so it keeps its text.
    // Held as a QObject: the state of a run knows no widgets.
    QObject *ConfigFileSelector() const { return m_configFileSelector.get(); }
    void SetConfigFileSelector(std::unique_ptr<QObject> dialog);

private:
    QString m_appDir;
    LocalisedText m_texts;
    std::array<QString, Products.size()> m_appNames; // in table order
    Messages &m_messages;
    bool m_quitRequested = false;
    std::function<void()> m_quitHandler;
    std::unique_ptr<QObject> m_configFileSelector;
};
