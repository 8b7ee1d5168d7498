#pragma once

#include <QPushButton>
#include <QStyle>

// The "..." button beside a folder field: as wide as its text (whatever the texts file makes
// of it), not as wide as a command button.
class BrowseButton final : public QPushButton
{
public:
    explicit BrowseButton(QWidget *parent = nullptr) : QPushButton(parent)
    {
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    }

    QSize sizeHint() const override
    {
        const int margins = style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, this)
            + 2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
        const int text = fontMetrics().size(Qt::TextShowMnemonic, this->text()).width();
        return QSize(text + margins + 2 * fontMetrics().averageCharWidth(), QPushButton::sizeHint().height());
    }
    QSize minimumSizeHint() const override { return sizeHint(); }

private:
    Q_DISABLE_COPY_MOVE(BrowseButton)
};
