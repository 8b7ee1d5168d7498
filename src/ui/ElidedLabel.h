#pragma once

#include <QLabel>
#include <QResizeEvent>

// A one-line label that never asks for more width than it is given: a long text is cut with
// "..." and shown whole as the tool tip, so a long message cannot widen its window.
class ElidedLabel final : public QLabel
{
public:
    explicit ElidedLabel(QWidget *parent = nullptr) : QLabel(parent)
    {
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        setMinimumWidth(1);
    }

    void SetFullText(const QString &text)
    {
        m_full = text;
        Fit();
    }
    const QString &FullText() const { return m_full; }

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        QLabel::resizeEvent(event);
        Fit();
    }

private:
    void Fit()
    {
        // One line: a line break in a message would make the bar taller.
        const QString line = QString(m_full).replace(u'\n', u' ').replace(u'\r', u' ');
        const QString shown = fontMetrics().elidedText(line, Qt::ElideRight, width());
        setText(shown);
        setToolTip(shown == line ? QString() : m_full);
    }

    QString m_full;
};
