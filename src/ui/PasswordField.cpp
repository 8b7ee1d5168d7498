#include "ui/PasswordField.h"

#include <QLineEdit>

void MaskWithStars(QLineEdit *box)
{
    box->setEchoMode(QLineEdit::Password);
    box->setStyleSheet(QStringLiteral("lineedit-password-character: 42;")); // '*'
}
