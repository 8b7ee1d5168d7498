#include "app/Session.h"

#include "config/ConfigStore.h"

#include <QCoreApplication>
#include <QObject>

Session::Session(const QString &appDir, Messages &messages, int splashMilliseconds)
    : m_appDir(appDir)
    , m_configDirectory(ConfigStore::ConfigDirectory(appDir))
    , m_defaultLogDirectory(ConfigStore::DefaultLogDirectory(appDir))
    , m_texts(appDir)
    , m_splashMilliseconds(splashMilliseconds)
    , m_titled(messages, m_programTitle, m_texts)
{
}

Session::~Session() = default;


MsgResult Session::MsgBox(const QString &text, MsgIcon icon, MsgButtons buttons, const QString &title)
{
    return MsgBox(nullptr, text, icon, buttons, title);
}

MsgResult Session::MsgBox(QObject *asker, const QString &text, MsgIcon icon, MsgButtons buttons, const QString &title)
{
    return m_titled.Show(text, icon, buttons, title, asker);
}

MsgResult Session::TitledMessages::Show(const QString &text, MsgIcon icon, MsgButtons buttons, const QString &title,
                                        QObject *asker)
{
    return m_shown.Show(text, icon, buttons, title.isEmpty() ? m_title : title, asker);
}

void Session::Quit()
{
    m_quitRequested = true;
    if (m_quitHandler) {
        m_quitHandler();
        return;
    }
    // Every event loop, the modal ones included, returns at once; main() then ends.
    QCoreApplication::exit(0);
}

void Session::LoadSharedTexts()
{
    for (size_t i = 0; i < Products.size(); ++i)
        m_appNames[i] = GetText(QLatin1String(Products[i].nameLabel));
    m_newConfigName = GetText(QStringLiteral("SLBL0371"));
}

void Session::LoadProgramTitle() { m_programTitle = GetText(QStringLiteral("SLBL0503")); }

QString Session::AppName(qint16 productCode) const
{
    const Product *product = ProductWithCode(productCode);
    return product ? m_appNames[size_t(product - Products.data())] : QString();
}

void Session::SetConfigFileSelector(std::unique_ptr<QObject> dialog)
{
    m_configFileSelector = std::move(dialog);
}
