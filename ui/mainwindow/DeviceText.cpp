#include "DeviceText.h"

#include "LanguageSrc.h"

namespace DeviceText {

QString deviceTypeName(const QString& key)
{
    static const char* const kTypes[][2] = {
        {"QMX_IPC", "IDCS_QMX_IPC"},
        {"QMX_DVR", "IDCS_QMX_DVR"},
        {"QMX_NVR", "IDCS_QMX_NVR"},
        {"QMX_MDVR", "IDCS_QMX_MDVR"},
        {"QMX_STORAGE", "IDCS_QMX_STORAGE"},
        {"QMX_DECODER", "IDCS_QMX_DECODER"},
        {"QMX_NETKEYBOARD", "IDCS_QMX_NETKEYBOARD"},
    };
    for (const auto& type : kTypes) {
        if (key == QLatin1String(type[0])) {
            return getText(type[1]);
        }
    }
    return QString();
}

QString formatRunTime(const QString& seconds)
{
    bool isNumber = false;
    qulonglong s = seconds.toULongLong(&isNumber, 10);
    if (!isNumber) {
        s = 0;
    }
    const qulonglong d = s / 86400;
    const qulonglong h = (s % 86400) / 3600;
    const qulonglong m = (s % 3600) / 60;
    const qulonglong r = s % 60;
    const QString day = getText("IDCS_DAY");
    const QString hour = getText("IDCS_HOUR");
    const QString minute = getText("IDCS_MINUTE");
    const QString second = getText("IDCS_SECOND");
    if (d > 0) {
        return QStringLiteral("%1%2 %3%4 %5%6 %7%8")
            .arg(d)
            .arg(day)
            .arg(h)
            .arg(hour)
            .arg(m)
            .arg(minute)
            .arg(r)
            .arg(second);
    }
    if (h > 0) {
        return QStringLiteral("%1%2 %3%4 %5%6").arg(h).arg(hour).arg(m).arg(minute).arg(r).arg(second);
    }
    if (m > 0) {
        return QStringLiteral("%1%2 %3%4").arg(m).arg(minute).arg(r).arg(second);
    }
    if (r > 0) {
        return QStringLiteral("%1%2").arg(r).arg(second);
    }
    return QString();
}

QString activationText(int activation)
{
    if (activation == 0) {
        return getText("IDCS_ACTIVATED");
    }
    if (activation == 1) {
        return getText("IDCS_NONACTIVATED");
    }
    return QString();
}

} // namespace DeviceText
