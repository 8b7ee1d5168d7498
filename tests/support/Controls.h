#pragma once

#include <QObject>
#include <QString>
#include <gtest/gtest.h>

// The windows keep their controls private; tests reach them by object name. A control that
// is not there fails the test at once, naming it, before the null pointer is used.
template <typename T>
T *Child(const QObject *parent, const char *name)
{
    T *child = parent ? parent->findChild<T *>(QLatin1String(name)) : nullptr;
    if (!child)
        ADD_FAILURE() << "no " << T::staticMetaObject.className() << " named " << name << " in "
                      << (parent ? qPrintable(parent->objectName()) : "(no window)");
    return child;
}
