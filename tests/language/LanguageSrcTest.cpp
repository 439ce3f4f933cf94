#include "LanguageSrc.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QtTest>

#include <map>

namespace {

// Every key the windows, lists, menus, message boxes and dialogs look up.
const char* const kAllKeys[] = {
    "IDCS_DEVICE_NETWORK_SEARCH",
    "IDCS_ABOUT",
    "IDCS_MINIMIZE",
    "IDCS_MAXIMIZE",
    "IDCS_RESTORE",
    "IDCS_CLOSE",
    "IDCS_DEVICE_BAR",
    "IDCS_FILTER_DEVICE_TYPE",
    "IDCS_FILTER_IP_ADDRESS",
    "IDCS_FILTER_DATA_PORT",
    "IDCS_DEVICE_NAME",
    "IDCS_DEVICE_TYPE",
    "IDCS_PRODUCT_MODE",
    "IDCS_IP_ADDRESS",
    "IDCS_HTTP_PORT",
    "IDCS_DATA_PORT",
    "IDCS_SUBNET_MASK",
    "IDCS_GATEWAY",
    "IDCS_MAC_ADDRESS",
    "IDCS_SOFT_VERSION",
    "IDCS_SOFT_CREATE_DATE",
    "IDCS_HARDWARE_VERSION",
    "IDCS_KERNEL_VERSION",
    "IDCS_START_TIME",
    "IDCS_RUN_TIME",
    "IDCS_DEVICE_ACTIVA_STATE",
    "IDCS_ACTIVATED",
    "IDCS_NONACTIVATED",
    "IDCS_DAY",
    "IDCS_HOUR",
    "IDCS_MINUTE",
    "IDCS_SECOND",
    "IDCS_QMX_IPC",
    "IDCS_QMX_NVR",
    "IDCS_QMX_DVR",
    "IDCS_QMX_MDVR",
    "IDCS_QMX_DECODER",
    "IDCS_QMX_STORAGE",
    "IDCS_QMX_NETKEYBOARD",
    "IDCS_ALL_DEVICE",
    "IDCS_FILTER_CONDITION",
    "IDCS_IP_START",
    "IDCS_IP_END",
    "IDCS_PORT_START",
    "IDCS_PORT_END",
    "IDCS_OK",
    "IDCS_CANCEL",
    "IDCS_MANUAL_REFRESH",
    "IDCS_AUTO_REFRESH_BY_5S",
    "IDCS_AUTO_REFRESH_BY_10S",
    "IDCS_AUTO_REFRESH_BY_15S",
    "IDCS_REFRESH_DISABLE",
    "IDCS_DEVICE_ONLINE_NUM_D",
    "IDCS_IP_ADDRESS_D",
    "IDCS_SUBNET_D",
    "IDCS_GATEWAY_D",
    "IDCS_DNS_D",
    "IDCS_PROMPT_DEVICE_NOT_EXIST",
    "IDCS_PROMPT_DEVICE_NOT_SUPPORT",
    "IDCS_RESTORE_DEVICE_PASSWORD_SUCCESS",
    "IDCS_RESTORE_DEVICE_PASSWORD_ERROR",
    "IDCS_ERROR_DIFFERENT_SEGMENT",
    "IDCS_ERROR_IP_MASK_ALL0",
    "IDCS_ERROR_IP_MASK_ALL1",
    "IDCS_ERROR_IP_ROUTE_INVALID",
    "IDCS_ERROR_MASK_NOT_CONTINE",
    "IDCS_ERROR_ROUTE_MASK_ALL0",
    "IDCS_ERROR_ROUTE_MASK_ALL1",
    "IDCS_ERROR_USE_LOOPBACK",
    "IDCS_IDCS_CHANGE_NETWORK_PARAM_SUCCESS",
    "IDCS_IDCS_CHANGE_NETWORK_PARAM_ERROR",
    "IDCS_CHANGE_NETWORK_PARAM",
    "IDCS_SAVE",
    "IDCS_CHANGE_NETWORK_PARAM_INFO",
    "IDCS_RESTORE_DEVICE_PASSWORD",
    "IDCS_RESTORE_DEVICE_PASSWORD_INFO",
    "IDCS_NETWORK_PARAM_EMPTY",
    "IDCS_PROMPT_IPADDRESS_EMPTY",
    "IDCS_PROMPT_IPADDRESS_INVALID",
    "IDCS_PROMPT_SUBNET_MASK_EMPTY",
    "IDCS_PROMPT_SUBNET_MASK_INVALID",
    "IDCS_PROMPT_GATEWAY_EMPTY",
    "IDCS_PROMPT_GATEWAY_INVALID",
    "IDCS_MAC_ADDRESS_EMPTY_ERROR",
    "IDCS_DEVICE_PASSWORD",
    "IDCS_IP_OCTET_OF",
    "IDCS_MAC_PAIR_OF",
    "IDCS_WARNING",
    "IDCS_ERROR",
    "IDCS_INFORMATION",
    "IDCS_QUESTION",
    "IDCS_YES",
    "IDCS_NO",
    "IDCS_ALL_YES",
    "IDCS_ALL_NOT",
    "IDCS_SOFTWARE_NAME",
    "IDCS_NAME",
    "IDCS_VERSION",
    "IDCS_DATE",
    "IDCS_COPYRIGHT_ZEB31",
    "IDCS_LINK_LOCAL_ROUTE_MISSING_D",
    "IDCS_REPORTS_DROPPED_D",
    "IDCS_ADDRESS_USED_BY_HOST",
    "IDCS_ADDRESS_USED_BY_DEVICE",
    "IDCS_ADDRESS_USED_ON_NETWORK",
    "IDCS_RESTORE_PASSWORD_CONFIRM",
    "IDCS_MAC_ADDRESS_INCOMPLETE",
    "IDCS_WAITING_FOR_DEVICE",
    "IDCS_COPY_MAC_ADDRESS",
    "IDCS_COPY_IP_ADDRESS",
    "IDCS_COPY_ROW",
    "IDCS_WEB_PAGE_NOT_OPENED",
    "IDCS_WEB_PAGE_NO_ADDRESS",
    "IDCS_BATCH_ADDRESSING",
    "IDCS_BATCH_ADDRESS_SELECTED",
    "IDCS_BATCH_TITLE",
    "IDCS_BATCH_START_IP",
    "IDCS_BATCH_PLAN",
    "IDCS_BATCH_LOAD_PLAN",
    "IDCS_BATCH_SAVE_PLAN",
    "IDCS_BATCH_APPLY",
    "IDCS_BATCH_CURRENT_IP",
    "IDCS_BATCH_NEW_IP",
    "IDCS_BATCH_STATUS",
    "IDCS_BATCH_HINT",
    "IDCS_BATCH_HOST",
    "IDCS_BATCH_SKIPPED",
    "IDCS_BATCH_PLANNED",
    "IDCS_BATCH_RULE_FAILED",
    "IDCS_BATCH_PLANNED_SUMMARY",
    "IDCS_BATCH_PLAN_PROBLEM",
    "IDCS_BATCH_FIELD_INVALID",
    "IDCS_BATCH_LOAD_FAILED",
    "IDCS_BATCH_PASSWORD_NEEDED",
    "IDCS_BATCH_WAITING",
    "IDCS_BATCH_SENT",
    "IDCS_BATCH_APPLIED",
    "IDCS_BATCH_REFUSED",
    "IDCS_BATCH_NO_ANSWER",
    "IDCS_BATCH_NOT_FOUND",
    "IDCS_BATCH_NOT_SENT",
    "IDCS_BATCH_CONFIRMED",
    "IDCS_BATCH_NOT_CONFIRMED",
    "IDCS_BATCH_APPLYING",
    "IDCS_BATCH_CANCELLING",
    "IDCS_BATCH_CONFIRMING",
    "IDCS_BATCH_DONE",
    "IDCS_BATCH_NO_SELECTION",
    "IDCS_SITE_INVENTORY",
    "IDCS_EXPORT_ALL",
    "IDCS_EXPORT_SHOWN",
    "IDCS_EXPORT_SELECTED",
    "IDCS_EXPORT_TITLE",
    "IDCS_SITE_WRITE_FAILED",
    "IDCS_REPORT_TITLE",
    "IDCS_SITE_NAME",
    "IDCS_REPORT_COUNT",
    "IDCS_COMPARE_INVENTORY",
    "IDCS_COMPARE_TITLE",
    "IDCS_COMPARE_READ_FAILED",
    "IDCS_COMPARE_SUMMARY",
    "IDCS_COMPARE_CHANGE",
    "IDCS_COMPARE_MISSING",
    "IDCS_COMPARE_NEW",
    "IDCS_COMPARE_CHANGED",
    "IDCS_COMPARE_SAVED_IP",
    "IDCS_COMPARE_SAVED_VERSION",
    "IDCS_CLOSE_COMPARISON",
    "IDCS_BATCH_PROBING",
    "IDCS_BATCH_ANSWERING",
    "IDCS_TEXT_CUT_NOTE",
    "IDCS_DEVICE_SHOWN_OF_FOUND_D",
    "IDCS_REFRESH_MODE",
    "IDCS_COLUMN_HEADERS",
    "IDCS_COLUMNS",
    "IDCS_FILTER_ON",
    "IDCS_RESTORE_PRESS_RESET_BUTTON",
    "IDCS_ACTIVATE_DEVICE",
    "IDCS_ACTIVATE_DEVICE_MENU",
    "IDCS_ACTIVATE_NEW_PASSWORD",
    "IDCS_ACTIVATE_CONFIRM_PASSWORD",
    "IDCS_ACTIVATE_PASSWORD_RULE",
    "IDCS_ACTIVATE_PASSWORDS_DIFFER",
    "IDCS_ACTIVATE_PASSWORD_WEAK",
    "IDCS_ACTIVATE_SUCCESS",
    "IDCS_ACTIVATE_FAILED",
};

// Texts the program fills in with arg(): the placeholder must survive translation.
const char* const kKeysWithPlaceholder[] = {
    "IDCS_DEVICE_ONLINE_NUM_D",
    "IDCS_IP_ADDRESS_D",
    "IDCS_SUBNET_D",
    "IDCS_GATEWAY_D",
    "IDCS_DNS_D",
    "IDCS_IP_OCTET_OF",
    "IDCS_MAC_PAIR_OF",
    "IDCS_LINK_LOCAL_ROUTE_MISSING_D",
    "IDCS_REPORTS_DROPPED_D",
    "IDCS_ADDRESS_USED_BY_HOST",
    "IDCS_ADDRESS_USED_BY_DEVICE",
    "IDCS_ADDRESS_USED_ON_NETWORK",
    "IDCS_RESTORE_PASSWORD_CONFIRM",
    "IDCS_WEB_PAGE_NOT_OPENED",
    "IDCS_BATCH_HINT",
    "IDCS_BATCH_SKIPPED",
    "IDCS_BATCH_PLANNED_SUMMARY",
    "IDCS_BATCH_PLAN_PROBLEM",
    "IDCS_BATCH_FIELD_INVALID",
    "IDCS_BATCH_LOAD_FAILED",
    "IDCS_BATCH_DONE",
    "IDCS_REPORT_COUNT",
    "IDCS_COMPARE_SUMMARY",
    "IDCS_COMPARE_CHANGED",
    "IDCS_DEVICE_SHOWN_OF_FOUND_D",
};

const char* const kEnglish = "English (United States)";
const char* const kChinese = "Chinese (PRC)";
const char* const kTaiwan = "Chinese (Taiwan)";
const char* const kRussian = "Russian";

QString deliveredLanguageDir()
{
    return QStringLiteral(SCANIX_LANGUAGE_DIR);
}

// The folder of the Scanix executable in the build tree, which holds the delivered "language" folder.
QString deliveredAppDir()
{
    return QDir::cleanPath(deliveredLanguageDir() + QStringLiteral("/.."));
}

bool writeUtf8(const QString& path, const QString& text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return false;
    }
    return file.write(text.toUtf8()) >= 0;
}

// An application folder with a language folder holding the given index lines (no index file when
// null) and, for every known language, a file whose IDCS_NAME says which file it is.
bool makeAppDir(const QString& appDir, const char* indexLines)
{
    const QString languageDir = appDir + QStringLiteral("/language");
    if (!QDir().mkpath(languageDir)) {
        return false;
    }
    if (indexLines != nullptr && !writeUtf8(languageDir + QStringLiteral("/LanguageIndex.ini"),
                                            QStringLiteral("[languages]\n") + QString::fromUtf8(indexLines))) {
        return false;
    }
    for (const char* name : {kEnglish, kChinese, kTaiwan, kRussian}) {
        const QString text = QStringLiteral("[text]\nIDCS_NAME=\"file %1\"\n").arg(QLatin1String(name));
        if (!writeUtf8(QStringLiteral("%1/%2.ini").arg(languageDir, QLatin1String(name)), text)) {
            return false;
        }
    }
    return true;
}

const char* const kFullIndex = "0x0409=\"English (United States)\"\n0x0804=\"Chinese (PRC)\"\n"
                               "0x0404=\"Chinese (Taiwan)\"\n0x0419=\"Russian\"\n";

} // namespace

class LanguageSrcTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void chooseLanguageIdByLocale_data();
    void chooseLanguageIdByLocale();
    void chooseLanguageIdFromSystemLocale_data();
    void chooseLanguageIdFromSystemLocale();
    void systemLocaleChild();

    void fallbackTable_data();
    void fallbackTable();
    void chosenIdSurvivesFallback();
    void indexKeyIsLowerCaseAndPadded_data();
    void indexKeyIsLowerCaseAndPadded();

    void getTextEdgeCases_data();
    void getTextEdgeCases();
    void getTextWithoutLoadedTable();
    void missingLanguageFileGivesEmptyTexts();
    void nonAsciiApplicationDirectory();

    void everyKeyInEveryLanguage_data();
    void everyKeyInEveryLanguage();
    void everyValueIsQuotedInTheFiles_data();
    void everyValueIsQuotedInTheFiles();
};

void LanguageSrcTest::cleanup()
{
    if (LanguageSrc::isLoaded()) {
        LanguageSrc::releaseLanguage();
    }
}

void LanguageSrcTest::chooseLanguageIdByLocale_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("id");
    QTest::newRow("zh_CN") << "zh_CN" << 2052;
    QTest::newRow("zh_TW") << "zh_TW" << 1028;
    QTest::newRow("zh_HK") << "zh_HK" << 1028;
    QTest::newRow("zh_SG") << "zh_SG" << 1028;
    QTest::newRow("ru_RU") << "ru_RU" << 1049;
    QTest::newRow("ru_UA") << "ru_UA" << 1049;
    QTest::newRow("ru_ inside the name") << "xru_YY" << 1049;
    QTest::newRow("en_US") << "en_US" << 1033;
    QTest::newRow("en_GB") << "en_GB" << 1033;
    QTest::newRow("de_DE") << "de_DE" << 1033;
    QTest::newRow("zh_MO is not listed") << "zh_MO" << 1033;
    QTest::newRow("lower-case country") << "zh_cn" << 1033;
    QTest::newRow("upper-case RU_") << "RU_RU" << 1033;
    QTest::newRow("ru without country") << "ru" << 1033;
    QTest::newRow("C") << "C" << 1033;
    QTest::newRow("empty") << "" << 1033;
}

void LanguageSrcTest::chooseLanguageIdByLocale()
{
    QFETCH(QString, locale);
    QFETCH(int, id);
    QCOMPARE(LanguageSrc::chooseLanguageId(locale), id);
}

void LanguageSrcTest::chooseLanguageIdFromSystemLocale_data()
{
    QTest::addColumn<QString>("lcAll");
    QTest::addColumn<int>("id");
    QTest::newRow("zh_CN") << "zh_CN.UTF-8" << 2052;
    QTest::newRow("zh_HK") << "zh_HK.UTF-8" << 1028;
    QTest::newRow("ru_RU") << "ru_RU.UTF-8" << 1049;
    QTest::newRow("de_DE") << "de_DE.UTF-8" << 1033;
}

// The system locale is read once per process, so each locale is tried in a child run of this test.
void LanguageSrcTest::chooseLanguageIdFromSystemLocale()
{
    QFETCH(QString, lcAll);
    QFETCH(int, id);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("LANG"));
    env.remove(QStringLiteral("LANGUAGE"));
    env.insert(QStringLiteral("LC_ALL"), lcAll);
    env.insert(QStringLiteral("SCANIX_EXPECTED_LANGUAGE_ID"), QString::number(id));
    QProcess child;
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("systemLocaleChild")});
    QVERIFY(child.waitForFinished(30000));
    const QByteArray output = child.readAll();
    QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, output.constData());
    QVERIFY2(output.contains("PASS   : LanguageSrcTest::systemLocaleChild"), output.constData());
}

void LanguageSrcTest::systemLocaleChild()
{
    const QByteArray expected = qgetenv("SCANIX_EXPECTED_LANGUAGE_ID");
    if (expected.isEmpty()) {
        QSKIP("runs only as the child of chooseLanguageIdFromSystemLocale");
    }
    QCOMPARE(LanguageSrc::chooseLanguageId(), expected.toInt());
}

void LanguageSrcTest::fallbackTable_data()
{
    QTest::addColumn<QByteArray>("index");
    QTest::addColumn<bool>("hasIndex");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("expected");
    const QByteArray full(kFullIndex);
    const QByteArray noTaiwan("0x0409=\"English (United States)\"\n0x0804=\"Chinese (PRC)\"\n");
    const QByteArray englishOnly("0x0409=\"English (United States)\"\n");
    QTest::newRow("zh_CN with entry") << full << true << "zh_CN" << kChinese;
    QTest::newRow("zh_TW with entry") << full << true << "zh_TW" << kTaiwan;
    QTest::newRow("zh_HK with entry") << full << true << "zh_HK" << kTaiwan;
    QTest::newRow("ru_RU with entry") << full << true << "ru_RU" << kRussian;
    QTest::newRow("en_GB") << full << true << "en_GB" << kEnglish;
    QTest::newRow("de_DE") << full << true << "de_DE" << kEnglish;
    QTest::newRow("zh_TW without entry") << noTaiwan << true << "zh_TW" << kEnglish;
    QTest::newRow("zh_SG without entry") << noTaiwan << true << "zh_SG" << kEnglish;
    QTest::newRow("zh_CN without entry") << englishOnly << true << "zh_CN" << kChinese;
    QTest::newRow("ru_RU without entry") << englishOnly << true << "ru_RU" << kEnglish;
    QTest::newRow("no index, zh_CN") << QByteArray() << false << "zh_CN" << kChinese;
    QTest::newRow("no index, zh_TW") << QByteArray() << false << "zh_TW" << kEnglish;
    QTest::newRow("no index, ru_RU") << QByteArray() << false << "ru_RU" << kEnglish;
    QTest::newRow("no index, en_US") << QByteArray() << false << "en_US" << kEnglish;
    QTest::newRow("entry with empty name") << QByteArray("0x0804=\n") << true << "zh_CN" << kChinese;
}

void LanguageSrcTest::fallbackTable()
{
    QFETCH(QByteArray, index);
    QFETCH(bool, hasIndex);
    QFETCH(QString, locale);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(makeAppDir(dir.path(), hasIndex ? index.constData() : nullptr));

    QVERIFY(LanguageSrc::loadLanguage(dir.path(), LanguageSrc::chooseLanguageId(locale), locale));
    QCOMPARE(LanguageSrc::languageName(), expected);
    QCOMPARE(LanguageSrc::languageFilePath(), QStringLiteral("%1/language/%2.ini").arg(dir.path(), expected));
    // The marker text proves that this very file was opened.
    QCOMPARE(LanguageSrc::getText("IDCS_NAME"), QStringLiteral("file ") + expected);
}

void LanguageSrcTest::chosenIdSurvivesFallback()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(makeAppDir(dir.path(), "0x0409=\"English (United States)\"\n"));
    const int saved = g_languageId;
    QCOMPARE(saved, 1033);

    g_languageId = LanguageSrc::chooseLanguageId(QStringLiteral("zh_TW"));
    QVERIFY(LanguageSrc::loadLanguage(dir.path(), g_languageId, QStringLiteral("zh_TW")));
    QCOMPARE(g_languageId, 1028);
    QCOMPARE(LanguageSrc::languageName(), QString::fromLatin1(kEnglish));
    g_languageId = saved;
}

void LanguageSrcTest::indexKeyIsLowerCaseAndPadded_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QByteArray>("key");
    QTest::newRow("1033") << 1033 << QByteArray("0x0409");
    QTest::newRow("2052") << 2052 << QByteArray("0x0804");
    QTest::newRow("lower-case hex digits") << 0x0c0a << QByteArray("0x0c0a");
    QTest::newRow("short id padded") << 0x7f << QByteArray("0x007f");
    QTest::newRow("five digits kept") << 0x10409 << QByteArray("0x10409");
}

void LanguageSrcTest::indexKeyIsLowerCaseAndPadded()
{
    QFETCH(int, id);
    QFETCH(QByteArray, key);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(makeAppDir(dir.path(), (key + "=\"Russian\"\n").constData()));
    QVERIFY(LanguageSrc::loadLanguage(dir.path(), id, QStringLiteral("en_US")));
    QCOMPARE(LanguageSrc::languageName(), QString::fromLatin1(kRussian));
}

void LanguageSrcTest::getTextEdgeCases_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty key") << QByteArray("=\"keyless\"") << QByteArray("") << QString();
    QTest::newRow("missing key") << QByteArray("IDCS_OK=\"OK\"") << QByteArray("IDCS_NOT_THERE") << QString();
    QTest::newRow("empty value") << QByteArray("IDCS_EMPTY=") << QByteArray("IDCS_EMPTY") << QString();
    QTest::newRow("empty quoted value") << QByteArray("IDCS_EMPTY=\"\"") << QByteArray("IDCS_EMPTY") << QString();
    QTest::newRow("placeholder kept") << QByteArray("IDCS_DNS_D=\"DNS: %1\"") << QByteArray("IDCS_DNS_D")
                                      << QStringLiteral("DNS: %1");
    QTest::newRow("two placeholders") << QByteArray("IDCS_T=%1 of %2") << QByteArray("IDCS_T")
                                      << QStringLiteral("%1 of %2");
    QTest::newRow("quoted commas") << QByteArray("IDCS_T=\"Select a device, edit it,then save\"")
                                   << QByteArray("IDCS_T") << QStringLiteral("Select a device, edit it,then save");
    QTest::newRow("unquoted commas") << QByteArray("IDCS_T=Select a device, edit it") << QByteArray("IDCS_T")
                                     << QStringLiteral("Select a device, edit it");
    QTest::newRow("quoted semicolon") << QByteArray("IDCS_T=\"first; second\"") << QByteArray("IDCS_T")
                                      << QStringLiteral("first; second");
    QTest::newRow("line break") << QByteArray("IDCS_T=\"one\\ntwo\"") << QByteArray("IDCS_T")
                                << QStringLiteral("one\ntwo");
    QTest::newRow("utf-8 text") << QByteArray("IDCS_T=\"设备网络搜索，Поиск\"") << QByteArray("IDCS_T")
                                << QStringLiteral("设备网络搜索，Поиск");
    QTest::newRow("key is case-sensitive") << QByteArray("IDCS_OK=\"OK\"") << QByteArray("idcs_ok") << QString();
}

void LanguageSrcTest::getTextEdgeCases()
{
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, key);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(makeAppDir(dir.path(), "0x0409=\"Test\"\n"));
    QVERIFY(writeUtf8(dir.path() + QStringLiteral("/language/Test.ini"),
                      QStringLiteral("[text]\n") + QString::fromUtf8(line) + QStringLiteral("\n")));
    QVERIFY(LanguageSrc::loadLanguage(dir.path(), 1033, QStringLiteral("en_US")));

    const QString text = LanguageSrc::getText(key.constData());
    QCOMPARE(text, expected);
    QCOMPARE(text.isEmpty(), expected.isEmpty());
}

void LanguageSrcTest::getTextWithoutLoadedTable()
{
    QVERIFY(!LanguageSrc::isLoaded());
    QCOMPARE(LanguageSrc::getText("IDCS_OK"), QString());
    QCOMPARE(LanguageSrc::getText(nullptr), QString());

    QVERIFY(LanguageSrc::loadLanguage(deliveredAppDir(), 1033, QStringLiteral("en_US")));
    QCOMPARE(getText("IDCS_OK"), QStringLiteral("OK"));
    QCOMPARE(getText(nullptr), QString());
    releaseLanguage();
    QVERIFY(!LanguageSrc::isLoaded());
    QCOMPARE(getText("IDCS_OK"), QString());
}

void LanguageSrcTest::missingLanguageFileGivesEmptyTexts()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir().mkpath(dir.path() + QStringLiteral("/language")));
    QVERIFY(writeUtf8(dir.path() + QStringLiteral("/language/LanguageIndex.ini"),
                      QStringLiteral("[languages]\n0x0409=\"Klingon\"\n")));
    QVERIFY(LanguageSrc::loadLanguage(dir.path(), 1033, QStringLiteral("en_US")));
    QCOMPARE(LanguageSrc::languageName(), QStringLiteral("Klingon"));
    QCOMPARE(LanguageSrc::getText("IDCS_OK"), QString());
    // Looking texts up must not create the missing file.
    QVERIFY(!QFile::exists(dir.path() + QStringLiteral("/language/Klingon.ini")));
}

void LanguageSrcTest::nonAsciiApplicationDirectory()
{
    QTemporaryDir base;
    QVERIFY(base.isValid());
    const QString appDir = base.path() + QStringLiteral("/Ящик 设备 (測試) é");
    QVERIFY(QDir().mkpath(appDir + QStringLiteral("/language")));
    const QDir source(deliveredLanguageDir());
    const QStringList files = source.entryList({QStringLiteral("*.ini")}, QDir::Files);
    QCOMPARE(files.size(), 5);
    for (const QString& file : files) {
        QVERIFY(QFile::copy(source.filePath(file), appDir + QStringLiteral("/language/") + file));
    }

    QVERIFY(LanguageSrc::loadLanguage(appDir, 2052, QStringLiteral("zh_CN")));
    QCOMPARE(LanguageSrc::languageFilePath(), appDir + QStringLiteral("/language/Chinese (PRC).ini"));
    QCOMPARE(LanguageSrc::getText("IDCS_DEVICE_NETWORK_SEARCH"), QStringLiteral("设备网络搜索"));
}

void LanguageSrcTest::everyKeyInEveryLanguage_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("name");
    QTest::newRow("English") << 1033 << kEnglish;
    QTest::newRow("Chinese (PRC)") << 2052 << kChinese;
    QTest::newRow("Chinese (Taiwan)") << 1028 << kTaiwan;
    QTest::newRow("Russian") << 1049 << kRussian;
}

void LanguageSrcTest::everyKeyInEveryLanguage()
{
    QFETCH(int, id);
    QFETCH(QString, name);
    QVERIFY(LanguageSrc::loadLanguage(deliveredAppDir(), id, QStringLiteral("en_US")));
    QCOMPARE(LanguageSrc::languageName(), name);

    QStringList missing;
    for (const char* key : kAllKeys) {
        if (LanguageSrc::getText(key).trimmed().isEmpty()) {
            missing << QLatin1String(key);
        }
    }
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QLatin1Char(' '))));

    for (const char* key : kKeysWithPlaceholder) {
        QVERIFY2(LanguageSrc::getText(key).count(QLatin1String("%1")) == 1, key);
    }

    // A key the program does not know is a typo of one it does.
    QSettings file(LanguageSrc::languageFilePath(), QSettings::IniFormat);
    file.beginGroup(QStringLiteral("text"));
    QStringList known;
    for (const char* key : kAllKeys) {
        known << QLatin1String(key);
    }
    QStringList unknown;
    for (const QString& key : file.childKeys()) {
        if (!known.contains(key)) {
            unknown << key;
        }
    }
    QVERIFY2(unknown.isEmpty(), qPrintable(unknown.join(QLatin1Char(' '))));
}

void LanguageSrcTest::everyValueIsQuotedInTheFiles_data()
{
    QTest::addColumn<QString>("file");
    for (const char* name : {kEnglish, kChinese, kTaiwan, kRussian}) {
        QTest::newRow(name) << QStringLiteral("%1.ini").arg(QLatin1String(name));
    }
    QTest::newRow("index") << QStringLiteral("LanguageIndex.ini");
}

// Unquoted, a comma turns a text into a list and a semicolon cuts it short, so the delivered
// files quote every value.
void LanguageSrcTest::everyValueIsQuotedInTheFiles()
{
    QFETCH(QString, file);
    QFile in(deliveredLanguageDir() + QLatin1Char('/') + file);
    QVERIFY(in.open(QIODevice::ReadOnly));
    const QByteArray bytes = in.readAll();
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(bytes);
    QVERIFY2(!decoder.hasError(), "not UTF-8");

    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('['))) {
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        QVERIFY2(equals > 0, qPrintable(line));
        const QString value = line.mid(equals + 1);
        QVERIFY2(value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')),
                 qPrintable(line));
        QVERIFY2(!value.mid(1, value.size() - 2).contains(QLatin1Char('"')), qPrintable(line));
    }
}

QTEST_MAIN(LanguageSrcTest)
#include "LanguageSrcTest.moc"
