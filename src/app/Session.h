#pragma once

#include "app/LocalisedText.h"
#include "app/Messages.h"
#include "config/ConfigRecord.h"

#include <QString>
#include <array>
#include <functional>
#include <memory>

class QObject;

// The program-wide state of one run: the application directory and its folders, the shared
// texts read at load, and the services every window uses (texts, messages, ending the program).
// What one window produces for another is returned by that window, never kept here.
class Session final
{
public:
    // appDir: the directory that holds the program (no trailing separator). splashMilliseconds:
    // how long the splash window stays.
    Session(const QString &appDir, Messages &messages, int splashMilliseconds = 2000);
    ~Session();
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    const QString &AppDir() const { return m_appDir; }
    // AppDir/lib, where the configurations are.
    const QString &ConfigDirectory() const { return m_configDirectory; }
    // AppDir/log, the default log folder of a new configuration.
    const QString &DefaultLogDirectory() const { return m_defaultLogDirectory; }

    // Localised text by label identifier; never fails (see LocalisedText).
    QString GetText(const QString &label) { return m_texts.GetText(label); }
    LocalisedText &Texts() { return m_texts; }
    // The text of label with "%1", "%2"... replaced by the arguments (texts), in one pass.
    template <typename... A>
    QString Text(const char *label, const A &...arguments)
    {
        const QString text = GetText(QLatin1String(label));
        if constexpr (sizeof...(A) == 0)
            return text;
        else
            return text.arg(arguments...);
    }
    // A lower layer's wording in the language of the texts file.
    QString Text(const Wording &wording)
    {
        return wording.In([this](const char *label) { return GetText(QLatin1String(label)); });
    }

    // A message box; an empty title means the program title. A window passes itself as
    // asker, so that the box is shown over it; the operations below the windows pass none.
    MsgResult MsgBox(const QString &text, MsgIcon icon = MsgIcon::None,
                     MsgButtons buttons = MsgButtons::Ok, const QString &title = QString());
    MsgResult MsgBox(QObject *asker, const QString &text, MsgIcon icon = MsgIcon::None,
                     MsgButtons buttons = MsgButtons::Ok, const QString &title = QString());
    // The messages as MsgBox shows them: a box without a title of its own gets the program title.
    Messages &Messenger() { return m_titled; }

    // Ends the whole program at once: every event loop returns. The windows install a handler
    // that also closes them; tests install one to observe it instead.
    void Quit();
    bool QuitRequested() const { return m_quitRequested; }
    void SetQuitHandler(std::function<void()> handler) { m_quitHandler = std::move(handler); }

    // Reads the shared texts (display names, NewConfigName) again.
    void LoadSharedTexts();
    // Reads the title of every message box without its own (SLBL0503); until then it is
    // "Configuration Selector".
    void LoadProgramTitle();
    const QString &ProgramTitle() const { return m_programTitle; }
    // The proposed name of a new configuration (SLBL0371), as LoadSharedTexts read it.
    const QString &NewConfigName() const { return m_newConfigName; }
    // The display name of a product (FieldmarkAppName, WebtrellAppName, RostrumAppName) as
    // LoadSharedTexts read it; "" for a code of no product.
    QString AppName(qint16 productCode) const;

    int SplashMilliseconds() const { return m_splashMilliseconds; }

    // The name dialog is created on first use and only hidden afterwards, so it keeps its text.
    // Held as a QObject: the state of a run knows no widgets.
    QObject *ConfigFileSelector() const { return m_configFileSelector.get(); }
    void SetConfigFileSelector(std::unique_ptr<QObject> dialog);

private:
    // Gives a box without a title the program title, and its texts the session's.
    class TitledMessages final : public Messages
    {
    public:
        TitledMessages(Messages &shown, const QString &title, LocalisedText &texts)
            : m_shown(shown), m_title(title), m_texts(texts)
        {
        }
        MsgResult Show(const QString &text, MsgIcon icon, MsgButtons buttons, const QString &title,
                       QObject *asker) override;
        QString Text(const char *label) override { return m_texts.GetText(QLatin1String(label)); }

    private:
        Messages &m_shown;
        const QString &m_title;
        LocalisedText &m_texts;
    };

    QString m_appDir;
    QString m_configDirectory;
    QString m_defaultLogDirectory;
    LocalisedText m_texts;
    std::array<QString, Products.size()> m_appNames; // in table order
    QString m_programTitle = QStringLiteral("Configuration Selector");
    QString m_newConfigName;
    int m_splashMilliseconds;
    TitledMessages m_titled;
    bool m_quitRequested = false;
    std::function<void()> m_quitHandler;
    std::unique_ptr<QObject> m_configFileSelector;
};
