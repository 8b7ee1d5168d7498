#include "ui/PasswordField.h"

#include <QLineEdit>
#include <QStyle>
#include <gtest/gtest.h>

TEST(PasswordField, ShowsOneStarPerCharacter)
{
    QLineEdit box;
    MaskWithStars(&box);
    box.setText(QStringLiteral("secret"));
    box.ensurePolished();
    EXPECT_EQ(box.echoMode(), QLineEdit::Password);
    EXPECT_EQ(box.style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, &box), int('*'));
    EXPECT_EQ(box.displayText(), QStringLiteral("******"));
}
