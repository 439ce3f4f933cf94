#include "SiteReport.h"

#include "DeviceView.h"
#include "LanguageSrc.h"

#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>

namespace SiteReport {

namespace {

struct ReportColumn
{
    const char* key;   // heading
    const char* field; // scan field
};

const ReportColumn kColumns[] = {{"IDCS_DEVICE_NAME", "name"},
                                 {"IDCS_DEVICE_TYPE", "typeName"},
                                 {"IDCS_PRODUCT_MODE", "model"},
                                 {"IDCS_IP_ADDRESS", "ip"},
                                 {"IDCS_SUBNET_MASK", "mask"},
                                 {"IDCS_GATEWAY", "gateway"},
                                 {"IDCS_MAC_ADDRESS", "mac"},
                                 {"IDCS_SOFT_VERSION", "softwareVersion"},
                                 {"IDCS_HTTP_PORT", "httpPort"},
                                 {"IDCS_DATA_PORT", "dataPort"}};

QString cell(const std::string& value)
{
    return QString::fromUtf8(value.data(), static_cast<int>(value.size())).toHtmlEscaped();
}

// A cell's text: the type in the loaded language, like the list shows it; the rest as the
// inventory files have it.
QString text(const DeviceView& view, const nlohmann::ordered_json& json, const char* field)
{
    if (std::string(field) == "typeName" && !DeviceTypeName(view.device.productSeries).empty()) {
        return getText((std::string("IDCS_") + view.device.productSeries).c_str()).toHtmlEscaped();
    }
    return cell(DeviceText(view, json, field, false));
}

} // namespace

QString html(const QString& siteName, const QDateTime& when, const std::vector<DEVICE_INFO>& devices)
{
    const QString title = getText("IDCS_REPORT_TITLE").toHtmlEscaped();
    QString page;
    page += QStringLiteral("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>%1</title>\n").arg(title);
    page += QStringLiteral(
        "<style>body{font-family:sans-serif;font-size:10pt;color:#111}h1{font-size:16pt;margin:0 0 4pt 0}"
        "p{margin:0 0 10pt 0;color:#444}table{border-collapse:collapse;width:100%}"
        "th,td{border:1px solid #999;padding:3pt 5pt;text-align:left}th{background:#e4e6ea}"
        "tr:nth-child(even) td{background:#f4f5f7}</style></head><body>\n");
    page += QStringLiteral("<h1>%1</h1>\n").arg(title);
    page += QStringLiteral("<p>%1: %2<br>%3: %4<br>%5</p>\n")
                .arg(getText("IDCS_SITE_NAME").toHtmlEscaped(),
                     siteName.toHtmlEscaped(),
                     getText("IDCS_DATE").toHtmlEscaped(),
                     when.toString(QStringLiteral("yyyy-MM-dd HH:mm t")).toHtmlEscaped(),
                     getText("IDCS_REPORT_COUNT").arg(devices.size()).toHtmlEscaped());
    page += QStringLiteral("<table cellspacing=\"0\" cellpadding=\"3\" border=\"1\">\n<tr>");
    for (const ReportColumn& column : kColumns) {
        page += QStringLiteral("<th>%1</th>").arg(getText(column.key).toHtmlEscaped());
    }
    page += QStringLiteral("</tr>\n");
    for (const DeviceView& view : PrepareListing(devices)) {
        const nlohmann::ordered_json json = DeviceJson(view);
        page += QStringLiteral("<tr>");
        for (const ReportColumn& column : kColumns) {
            page += QStringLiteral("<td>%1</td>").arg(text(view, json, column.field));
        }
        page += QStringLiteral("</tr>\n");
    }
    page += QStringLiteral("</table>\n</body></html>\n");
    return page;
}

bool writePdf(const QString& path, const QString& page, QString& error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString();
        return false;
    }
    {
        // The writer finishes the file when it goes: before the file is committed.
        QPdfWriter writer(&file);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageOrientation(QPageLayout::Landscape);
        writer.setResolution(300);
        writer.setTitle(getText("IDCS_REPORT_TITLE"));
        QTextDocument document;
        document.setHtml(page);
        document.print(&writer);
    }
    if (!file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

} // namespace SiteReport
