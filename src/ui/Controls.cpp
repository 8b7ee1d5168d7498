#include "ui/Controls.h"

#include "app/Session.h"
#include "ui/Mnemonics.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>

namespace Controls {

namespace {

constexpr char LabelProperty[] = "label";
constexpr char TipProperty[] = "tipLabel";
constexpr char PlaceholderProperty[] = "placeholderLabel";
constexpr char TabsProperty[] = "tabLabels";
constexpr char TabTipsProperty[] = "tabTipLabels";
constexpr char AccessibleProperty[] = "accessibleLabel";

void SetText(QObject *control, const QString &text)
{
    if (auto *action = qobject_cast<QAction *>(control))
        action->setText(text);
    else if (auto *label = qobject_cast<QLabel *>(control))
        label->setText(text);
    else if (auto *button = qobject_cast<QAbstractButton *>(control))
        button->setText(text);
    else if (auto *frame = qobject_cast<QGroupBox *>(control))
        frame->setTitle(text);
    else if (auto *widget = qobject_cast<QWidget *>(control); widget && widget->isWindow())
        widget->setWindowTitle(text);
}

void SetToolTip(QObject *control, const QString &text)
{
    if (auto *action = qobject_cast<QAction *>(control))
        action->setToolTip(text);
    else if (auto *widget = qobject_cast<QWidget *>(control))
        widget->setToolTip(text);
}

void Apply(Session &session, QObject *control)
{
    if (const QVariant label = control->property(LabelProperty); label.isValid())
        SetText(control, session.GetText(label.toString()));
    if (const QVariant tip = control->property(TipProperty); tip.isValid())
        SetToolTip(control, session.GetText(tip.toString()));
    if (const QVariant name = control->property(AccessibleProperty); name.isValid())
        static_cast<QWidget *>(control)->setAccessibleName(session.GetText(name.toString()));
    if (const QVariant placeholder = control->property(PlaceholderProperty); placeholder.isValid())
        if (auto *box = qobject_cast<QLineEdit *>(control))
            box->setPlaceholderText(session.GetText(placeholder.toString()));
    if (auto *tabs = qobject_cast<QTabBar *>(control)) {
        const QStringList texts = tabs->property(TabsProperty).toStringList();
        const QStringList tips = tabs->property(TabTipsProperty).toStringList();
        for (int i = 0; i < qMin(int(texts.size()), tabs->count()); ++i) {
            tabs->setTabText(i, session.GetText(texts[i]));
            if (!tips[i].isEmpty())
                tabs->setTabToolTip(i, session.GetText(tips[i]));
        }
    }
}

} // namespace

void SetLabel(QObject *control, const char *label) { control->setProperty(LabelProperty, QLatin1String(label)); }

void SetTipLabel(QObject *control, const char *label) { control->setProperty(TipProperty, QLatin1String(label)); }

void SetAccessibleLabel(QWidget *control, const char *label)
{
    control->setProperty(AccessibleProperty, QLatin1String(label));
}

void SetPlaceholderLabel(QObject *control, const char *label)
{
    control->setProperty(PlaceholderProperty, QLatin1String(label));
}

void SetTabLabels(QTabBar *tabs, const QList<std::pair<const char *, const char *>> &labels)
{
    QStringList texts, tips;
    for (const auto &[text, tip] : labels) {
        texts << QLatin1String(text);
        tips << QLatin1String(tip ? tip : "");
    }
    tabs->setProperty(TabsProperty, texts);
    tabs->setProperty(TabTipsProperty, tips);
}

void Localise(Session &session, QObject &window)
{
    Apply(session, &window);
    for (QObject *control : window.findChildren<QObject *>())
        Apply(session, control);
    if (auto *widget = qobject_cast<QWidget *>(&window); widget && widget->isWindow())
        Mnemonics::RepairWindow(*widget);
}

} // namespace Controls
