#pragma once
// Picture of the column set-up dialog on a working folder of its own holding the invoice items
// and the configured columns of a hotel.
#include <QImage>
#include <QString>
#include <functional>

#include "platform/host.h"

class QWidget;

// Writes column_dialog.png into outDir, drawn by render; answers the failures.
int shootColumnWindows(const QString& outDir, ov::Host& host, const std::function<QImage(QWidget&)>& render);
