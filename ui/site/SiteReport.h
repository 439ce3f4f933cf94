#pragma once

#include "DeviceInfo.h"

#include <QDateTime>
#include <QString>

#include <vector>

// The printable commissioning record of a site: its name, the date and a table of the devices,
// as an HTML page or a PDF file.
namespace SiteReport {

// Every device text is escaped: names and versions are whatever the devices report.
QString html(const QString& siteName, const QDateTime& when, const std::vector<DEVICE_INFO>& devices);
// The same page laid out on A4 pages; false with the reason when the file cannot be written.
bool writePdf(const QString& path, const QString& html, QString& error);

} // namespace SiteReport
