#include "ui/WindowState.h"

#include <QEvent>
#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QSettings>
#include <QTimer>
#include <QWidget>

namespace {

QSettings Settings() { return QSettings(QStringLiteral("Tessaly"), QStringLiteral("ConfigurationSelector")); }

QString Name(const QString &key, const QString &name) { return key + u'/' + name; }

// The screen whose free area shows enough of the strip at the top of rect to grab the
// window by its title bar; null when none does.
QScreen *ScreenShowingTop(const QRect &rect)
{
    const QRect titleStrip(rect.topLeft(), QSize(rect.width(), 32));
    for (QScreen *screen : QGuiApplication::screens()) {
        const QRect seen = screen->availableGeometry().intersected(titleStrip);
        if (seen.width() >= 64 && seen.height() >= 16)
            return screen;
    }
    return nullptr;
}

class Keeper final : public QObject
{
public:
    Keeper(QWidget *window, const QString &key, WindowState::Remember what)
        : QObject(window), m_key(key), m_what(what)
    {
        window->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Hide && watched == parent())
            Save(static_cast<QWidget *>(watched));
        // The frame is known once the window is shown (a window manager adds it a moment
        // later): then the whole window, status bar included, is brought onto the screen.
        if (event->type() == QEvent::Show && watched == parent()) {
            auto *window = static_cast<QWidget *>(watched);
            for (const int ms : {0, 500})
                QTimer::singleShot(ms, window, [window] { Fit(window); });
        }
        return false;
    }

private:
    static void Fit(QWidget *window)
    {
        if (!window->isVisible() || (window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) || !window->screen())
            return;
        const QRect free = window->screen()->availableGeometry();
        const QRect frame = window->frameGeometry(), now = window->geometry();
        const QRect inner = WindowState::FitInside(frame, now, free);
        if (inner == now)
            return;
        // A top level moves by its frame's corner (a window manager honours that), sized by its contents.
        window->resize(inner.size());
        window->move(inner.topLeft() - (now.topLeft() - frame.topLeft()));
    }

    void Save(const QWidget *window) const
    {
        QSettings settings = Settings();
        // A maximised window keeps the place it comes back to.
        const bool maximized = window->isMaximized();
        settings.setValue(Name(m_key, QStringLiteral("size")),
                          maximized ? window->normalGeometry().size() : window->size());
        if (m_what == WindowState::Remember::SizeAndPosition) {
            settings.setValue(Name(m_key, QStringLiteral("position")),
                              maximized ? window->normalGeometry().topLeft() : window->pos());
            settings.setValue(Name(m_key, QStringLiteral("maximized")), maximized);
        }
    }

    QString m_key;
    WindowState::Remember m_what;
};

} // namespace

namespace WindowState {

void Keep(QWidget *window, const QString &key, Remember what)
{
    QSettings settings = Settings();
    QSize size = settings.value(Name(key, QStringLiteral("size")), window->size()).toSize();
    if (!size.isValid())
        size = window->size();
    size = size.expandedTo(window->minimumSize()).boundedTo(window->maximumSize());

    QScreen *screen = nullptr;
    const QVariant position = settings.value(Name(key, QStringLiteral("position")));
    if (what == Remember::SizeAndPosition && position.canConvert<QPoint>())
        screen = ScreenShowingTop(QRect(position.toPoint(), size));
    QScreen *fitTo = screen ? screen : window->screen();
    if (fitTo) {
        const QRect free = fitTo->availableGeometry();
        size = size.boundedTo(free.size());
    }
    window->resize(size);
    if (screen) {
        // Pulled in so that the whole window is on the screen it was on, where it fits.
        const QRect free = screen->availableGeometry();
        QPoint at = position.toPoint();
        at.setX(qMax(free.left(), qMin(at.x(), free.right() + 1 - size.width())));
        at.setY(qMax(free.top(), qMin(at.y(), free.bottom() + 1 - size.height())));
        window->move(at);
    }
    if (what == Remember::SizeAndPosition && settings.value(Name(key, QStringLiteral("maximized"))).toBool())
        window->setWindowState(window->windowState() | Qt::WindowMaximized);
    new Keeper(window, key, what);
}

QRect FitInside(const QRect &frame, const QRect &inner, const QRect &free)
{
    const QMargins edges(inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
                         frame.bottom() - inner.bottom());
    const QSize size = inner.size().boundedTo(free.size().shrunkBy(edges)).expandedTo(QSize(1, 1));
    const QSize outer = size.grownBy(edges);
    QPoint at = frame.topLeft();
    at.setX(qMax(free.left(), qMin(at.x(), free.right() + 1 - outer.width())));
    at.setY(qMax(free.top(), qMin(at.y(), free.bottom() + 1 - outer.height())));
    return QRect(at + QPoint(edges.left(), edges.top()), size);
}

QVariant Value(const QString &key, const QString &name, const QVariant &fallback)
{
    return Settings().value(Name(key, name), fallback);
}

void SetValue(const QString &key, const QString &name, const QVariant &value)
{
    Settings().setValue(Name(key, name), value);
}

} // namespace WindowState
