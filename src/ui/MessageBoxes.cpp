#include "ui/MessageBoxes.h"

#include "app/LocalisedText.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {

QWidget *OwnerOf(QObject *asker)
{
    if (auto *window = qobject_cast<QWidget *>(asker))
        return window->window();
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

} // namespace

QString MessageBoxes::Text(const char *label) const
{
    return m_texts ? m_texts->GetText(QLatin1String(label)) : LocalisedText::BuiltIn().value(QLatin1String(label));
}

void MessageBoxes::NameButtons(QMessageBox &box) const
{
    const std::pair<QMessageBox::StandardButton, const char *> names[] = {
        {QMessageBox::Ok, "SLBL0254"}, {QMessageBox::Cancel, "SLBL0428"}, {QMessageBox::Yes, "CS_MSG_YES"},
        {QMessageBox::No, "CS_MSG_NO"}};
    for (const auto &[which, label] : names)
        if (QAbstractButton *button = box.button(which))
            button->setText(Text(label));
}

MsgResult MessageBoxes::Show(const QString &text, MsgIcon icon, MsgButtons buttons, const QString &title,
                             QObject *asker)
{
    QMessageBox box(OwnerOf(asker));
    box.setWindowTitle(title);
    box.setText(text);
    switch (icon) {
    case MsgIcon::None: box.setIcon(QMessageBox::NoIcon); break;
    case MsgIcon::Critical: box.setIcon(QMessageBox::Critical); break;
    case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
    case MsgIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
    }
    switch (buttons) {
    case MsgButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case MsgButtons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case MsgButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case MsgButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    case MsgButtons::YesNoDefaultNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::No);
        break;
    case MsgButtons::YesNoCancelDefaultNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::No);
        break;
    case MsgButtons::TheirsMineCancel: {
        QPushButton *theirs = box.addButton(Text("CS_MSG_THEIRS"), QMessageBox::ActionRole);
        QPushButton *mine = box.addButton(Text("CS_MSG_MINE"), QMessageBox::DestructiveRole);
        box.setDefaultButton(box.addButton(QMessageBox::Cancel));
        box.setEscapeButton(QMessageBox::Cancel);
        NameButtons(box);
        box.exec();
        return box.clickedButton() == theirs ? MsgResult::Theirs
               : box.clickedButton() == mine ? MsgResult::Mine
                                             : MsgResult::Cancel;
    }
    }
    NameButtons(box);
    switch (box.exec()) {
    case QMessageBox::Yes: return MsgResult::Yes;
    case QMessageBox::No: return MsgResult::No;
    case QMessageBox::Cancel: return MsgResult::Cancel;
    default: return MsgResult::Ok;
    }
}
