#pragma once

#include "app/Messages.h"

class LocalisedText;
class QMessageBox;

// Every message of the program's windows is shown here, as a message box over the window
// that asks (over the window in front when no window asks).
class MessageBoxes final : public Messages
{
public:
    MsgResult Show(const QString &text, MsgIcon icon, MsgButtons buttons, const QString &title,
                   QObject *asker) override;
    // Where the buttons' texts come from; the built-in English until then.
    void SetTexts(LocalisedText *texts) { m_texts = texts; }

private:
    QString Text(const char *label) const;
    void NameButtons(QMessageBox &box) const;

    LocalisedText *m_texts = nullptr;
};
