#pragma once
// What every window needs between the program's code page 1252 texts and Qt: the two conversions
// and the hourglass shown while a long action runs.
#include <QGuiApplication>
#include <QString>
#include <string>

#include "core/cp1252.h"

namespace ov {

inline QString toQt(const std::string& cp1252Text) { return QString::fromStdString(cp1252::toUtf8(cp1252Text)); }
inline std::string fromQt(const QString& text) { return cp1252::fromUtf8(text.toStdString()); }

class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace ov
