// Creating a control under its object name, the name by which captions, hints and tests find it.
#pragma once

#include <QAbstractButton>
#include <QLabel>
#include <QString>
#include <QWidget>
#include <type_traits>

namespace brisko {

// A new control of type T under `parent`, named `name`, with `text` where it shows one.
template <class T>
T* named(QWidget* parent, const char* name, const QString& text = {}) {
    T* w = new T(parent);
    w->setObjectName(QString::fromLatin1(name));
    if constexpr (std::is_base_of_v<QAbstractButton, T> || std::is_same_v<T, QLabel>)
        if (!text.isEmpty()) w->setText(text);
    return w;
}

}  // namespace brisko
