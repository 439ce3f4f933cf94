#include "DeviceText.h"

#include "LanguageSrc.h"

namespace DeviceText {

namespace {
const char* const kTypes[][2] = {
    {"QMX_IPC", "IDCS_QMX_IPC"},
    {"QMX_DVR", "IDCS_QMX_DVR"},
    {"QMX_NVR", "IDCS_QMX_NVR"},
    {"QMX_MDVR", "IDCS_QMX_MDVR"},
    {"QMX_STORAGE", "IDCS_QMX_STORAGE"},
    {"QMX_DECODER", "IDCS_QMX_DECODER"},
    {"QMX_NETKEYBOARD", "IDCS_QMX_NETKEYBOARD"},
};
constexpr int kTypeCount = 7;

// Every report needs several of these texts; looking each one up in the language file every
// time made a flood of reports stall the window.
struct Texts
{
    bool loaded = false;
    QString types[kTypeCount];
    QString day;
    QString hour;
    QString minute;
    QString second;
    QString activated;
    QString notActivated;
    QString cutNote;
};

Texts g_texts;

const Texts& texts()
{
    if (!g_texts.loaded) {
        loadTexts();
    }
    return g_texts;
}
} // namespace

void loadTexts()
{
    for (int i = 0; i < kTypeCount; ++i) {
        g_texts.types[i] = getText(kTypes[i][1]);
    }
    g_texts.day = getText("IDCS_DAY");
    g_texts.hour = getText("IDCS_HOUR");
    g_texts.minute = getText("IDCS_MINUTE");
    g_texts.second = getText("IDCS_SECOND");
    g_texts.activated = getText("IDCS_ACTIVATED");
    g_texts.notActivated = getText("IDCS_NONACTIVATED");
    g_texts.cutNote = getText("IDCS_TEXT_CUT_NOTE");
    g_texts.loaded = true;
}

QString deviceTypeName(const QString& key)
{
    for (int i = 0; i < kTypeCount; ++i) {
        if (key == QLatin1String(kTypes[i][0])) {
            return texts().types[i];
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
    const Texts& t = texts();
    if (d > 0) {
        return QStringLiteral("%1%2 %3%4 %5%6 %7%8")
            .arg(d)
            .arg(t.day)
            .arg(h)
            .arg(t.hour)
            .arg(m)
            .arg(t.minute)
            .arg(r)
            .arg(t.second);
    }
    if (h > 0) {
        return QStringLiteral("%1%2 %3%4 %5%6").arg(h).arg(t.hour).arg(m).arg(t.minute).arg(r).arg(t.second);
    }
    if (m > 0) {
        return QStringLiteral("%1%2 %3%4").arg(m).arg(t.minute).arg(r).arg(t.second);
    }
    if (r > 0) {
        return QStringLiteral("%1%2").arg(r).arg(t.second);
    }
    return QString();
}

QString activationText(int activation)
{
    if (activation == 0) {
        return texts().activated;
    }
    if (activation == 1) {
        return texts().notActivated;
    }
    return QString();
}

QString portText(int port)
{
    return port == 0 ? QString() : QString::number(port);
}

QString cutTextToolTip(const QString& text)
{
    if (!text.endsWith(QChar(0x2026))) {
        return QString();
    }
    return text + QLatin1Char('\n') + texts().cutNote;
}

} // namespace DeviceText
