#include "ui/WaitDialog.h"

#include "app/LocalisedText.h"
#include "platform/Worker.h"

#include <QApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

LocalisedText *g_texts = nullptr;

QString Text(const char *label)
{
    return g_texts ? g_texts->GetText(QLatin1String(label)) : LocalisedText::BuiltIn().value(QLatin1String(label));
}

QString StatusText(int seconds, const QString &what)
{
    return Text("CS_WAIT_STATUS").arg(QString::number(seconds), what);
}

class WaitDialog final : public Worker::WaitView
{
public:
    WaitDialog(const QString &what, std::function<void()> cancel) : m_what(what)
    {
        QWidget *owner = QApplication::activeModalWidget();
        if (!owner)
            owner = QApplication::activeWindow();
        auto *dialog = new QDialog(owner);
        dialog->setObjectName(QStringLiteral("frmWait"));
        dialog->setWindowTitle(owner ? owner->window()->windowTitle() : QString());
        m_status = new QLabel(StatusText(0, what), dialog);
        m_status->setObjectName(QStringLiteral("lblWaitStatus"));
        m_status->setWordWrap(true);
        auto *cancelButton = new QPushButton(Text("SLBL0428"), dialog);
        cancelButton->setObjectName(QStringLiteral("cmdCancelWait"));
        cancelButton->setDefault(true);
        auto *buttons = new QHBoxLayout;
        buttons->addStretch();
        buttons->addWidget(cancelButton);
        auto *layout = new QVBoxLayout(dialog);
        layout->addWidget(m_status);
        layout->addLayout(buttons);
        QObject::connect(cancelButton, &QPushButton::clicked, dialog, &QDialog::reject);
        // Escape and the window's close button reject too; each ends the wait.
        QObject::connect(dialog, &QDialog::rejected, dialog, [cancel = std::move(cancel)] { cancel(); });
        dialog->setMinimumWidth(440);
        dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
        dialog->setWindowModality(Qt::ApplicationModal);
        m_dialog = dialog;
        dialog->show();
        // The arrow beside the hourglass: Cancel can be clicked.
        if (QGuiApplication::overrideCursor())
            QGuiApplication::changeOverrideCursor(Qt::BusyCursor);
    }

    ~WaitDialog() override
    {
        if (QGuiApplication::overrideCursor())
            QGuiApplication::changeOverrideCursor(Qt::WaitCursor);
        // Gone already when its owner was closed meanwhile.
        delete m_dialog.data();
    }

    void Elapsed(int seconds) override
    {
        if (m_dialog)
            m_status->setText(StatusText(seconds, m_what));
    }

private:
    QString m_what;
    QPointer<QDialog> m_dialog;
    QLabel *m_status = nullptr;
};

} // namespace

void InstallWaitDialog(LocalisedText *texts)
{
    g_texts = texts;
    Worker::SetWaitView([](const QString &what, std::function<void()> cancel) -> std::unique_ptr<Worker::WaitView> {
        return std::make_unique<WaitDialog>(what, std::move(cancel));
    });
}
