#include "ui/DataSourceField.h"

#include "platform/Odbc.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStringListModel>

namespace {

class DataSourceCompletion final : public QObject
{
public:
    explicit DataSourceCompletion(QLineEdit *field) : QObject(field), m_field(field)
    {
        m_completer = new QCompleter(new QStringListModel(this), this);
        m_completer->setCaseSensitivity(Qt::CaseInsensitive);
        m_completer->setFilterMode(Qt::MatchContains);
        m_completer->setCompletionMode(QCompleter::PopupCompletion);
        m_completer->setMaxVisibleItems(10);
        field->setCompleter(m_completer);
        field->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_field)
            return false;
        if (event->type() == QEvent::FocusIn) {
            const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
            if (reason == Qt::PopupFocusReason)
                return false; // back from the list itself
            Refresh();
            // A click asks to pick; a Tab through the form or a window that opens does not.
            if (reason == Qt::MouseFocusReason)
                QMetaObject::invokeMethod(this, &DataSourceCompletion::ShowAll, Qt::QueuedConnection);
        } else if (event->type() == QEvent::KeyPress) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Down && key->modifiers() == Qt::NoModifier
                && !m_completer->popup()->isVisible()) {
                ShowAll();
                return true;
            }
        }
        return false;
    }

private:
    void Refresh()
    {
        // Without a driver manager the field is plain free text.
        static_cast<QStringListModel *>(m_completer->model())->setStringList(Odbc::DataSources());
    }

    void ShowAll()
    {
        if (!m_field->hasFocus() || m_completer->model()->rowCount() == 0)
            return;
        m_completer->setCompletionPrefix(QString());
        m_completer->complete();
    }

    QLineEdit *m_field;
    QCompleter *m_completer;
};

} // namespace

void OfferDataSources(QLineEdit *field) { new DataSourceCompletion(field); }
