#pragma once
// Picture of the filtered print form on a working folder of its own: the column table with its
// layout, the printer tables and a saved filter, whose rows show on light yellow.
#include <QImage>
#include <QString>
#include <functional>

#include "platform/host.h"

class QWidget;

// Writes print_form.png into outDir, drawn by render; answers the failures.
int shootFormWindows(const QString& outDir, ov::Host& host, const std::function<QImage(QWidget&)>& render);
