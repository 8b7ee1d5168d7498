#pragma once

#include <QList>
#include <QString>
#include <functional>

// A text of the program named by its label in the texts file, with what fills its "%1",
// "%2"...: what the layers below the windows give, so that each edge tells it in its own
// language (the windows from the texts file, the shell and the logs in the built-in English).
// An argument is a wording too; a text that is no label of the program's (a name, a number,
// the system's error text) is a wording without a label and stays as it is.
class Wording final
{
public:
    Wording() = default;
    Wording(QString text) : m_text(std::move(text)) {}
    explicit Wording(const char *label, QList<Wording> arguments = {})
        : m_label(label), m_arguments(std::move(arguments))
    {
    }

    bool IsEmpty() const { return !m_label && m_text.isEmpty(); }
    // The label, null for a text that stands as it is.
    const char *Label() const { return m_label; }

    // The text with textOf giving the text of each label; the arguments filled in one pass,
    // so that an argument holding "%1" stays as it is.
    QString In(const std::function<QString(const char *label)> &textOf) const;
    // The text in the English built into the program.
    QString English() const;

    bool operator==(const Wording &other) const;

private:
    const char *m_label = nullptr;
    QString m_text;
    QList<Wording> m_arguments;
};
