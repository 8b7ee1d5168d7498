#pragma once

#include <QByteArray>
#include <QString>

// A texts file for the layout and completeness checks: every text of an I18nText.xml between
// the marks "⟦" and "⟧" and padded to 140 % of its length, its placeholders, line breaks and
// Alt letters kept. A text on screen that does not start with the mark came from elsewhere.
namespace MarkedTexts {

inline constexpr char16_t Open = u'⟦';
inline constexpr char16_t Close = u'⟧';

// The marked file of the texts file given (its labels in its order); empty when it cannot be read.
QByteArray Make(const QByteArray &texts);
// One text marked and lengthened.
QString Mark(const QString &text);
// Whether a text as shown (Alt letters drawn or not) starts with the mark.
bool IsMarked(const QString &shown);

} // namespace MarkedTexts
