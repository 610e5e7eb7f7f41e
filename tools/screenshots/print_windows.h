#pragma once
// Pictures of the print windows: the print menu, the preview and the editable preview, each on a
// working folder of its own holding printer tables and a summary's print file.
#include <QImage>
#include <QString>
#include <functional>

#include "platform/host.h"

class QWidget;

// Writes print_menu.png, preview.png and editable_preview.png into outDir, drawn by render; answers the failures.
int shootPrintWindows(const QString& outDir, ov::Host& host, const std::function<QImage(QWidget&)>& render);
