#pragma once
// What every window needs: the two conversions between the program's code page 1252 texts and Qt,
// the hourglass shown while a long action runs, and centring on the screen.
#include <QGuiApplication>
#include <QScreen>
#include <QString>
#include <QWidget>
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

// Centres the window on the primary screen at its current size (nothing without a screen).
inline void centreOnScreen(QWidget& window) {
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect s = screen->geometry();
        window.move(s.left() + (s.width() - window.width()) / 2, s.top() + (s.height() - window.height()) / 2);
    }
}

}  // namespace ov
