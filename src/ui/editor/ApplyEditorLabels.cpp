#include "ui/editor/ApplyEditorLabels.h"

#include "app/Session.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>

namespace {

QString TagOf(const QObject *control) { return control->property("tag").toString(); }

} // namespace

void ApplyEditorLabels(Session &session, QWidget &window)
{
    for (QWidget *control : window.findChildren<QWidget *>()) {
        if (!control->property("tag").isValid())
            continue;
        const QString name = control->objectName();
        if (auto *button = qobject_cast<QPushButton *>(control)) {
            if (name == QLatin1String("cmdOK") || name == QLatin1String("cmdCancel"))
                button->setText(session.GetText(TagOf(button)));
        } else if (auto *label = qobject_cast<QLabel *>(control)) {
            label->setText(session.GetText(TagOf(label)));
        } else if (auto *box = qobject_cast<QCheckBox *>(control)) {
            box->setText(session.GetText(TagOf(box)));
        }
    }
    if (auto *tabs = window.findChild<QTabBar *>(QStringLiteral("TSConfig"))) {
        for (int i = 0; i < qMin(2, tabs->count()); ++i) {
            tabs->setTabText(i, session.GetText(tabs->tabData(i).toString()));
            tabs->setTabToolTip(i, session.GetText(tabs->tabToolTip(i)));
        }
    }
    window.setWindowTitle(session.GetText(TagOf(&window)));
}
