#include "AppSetup.h"

#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QFontInfo>
#include <QMetaType>
#include <QTemporaryFile>
#include <QtTest>

class AppSetupTest : public QObject
{
    Q_OBJECT

private slots:
    void styleSheetInstalledAsUtf8();
    void missingStyleSheetIsIgnored();
    void skinStyleSheetIsCompiledIn();
    void fontIsThirteenPixelsWithChineseShapes();
    void fontSubstitutesByLanguage_data();
    void fontSubstitutesByLanguage();
    void metaTypeAliases_data();
    void metaTypeAliases();
    void pluginPathBesideTheProgram();
};

void AppSetupTest::styleSheetInstalledAsUtf8()
{
    QTemporaryFile file;
    QVERIFY(file.open());
    const QString sheet = QStringLiteral("/* 深色外观 — тёмная тема */\r\nQWidget { color: rgb(204,204,204); }\r\n");
    file.write(sheet.toUtf8());
    file.close();

    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    QVERIFY(AppSetup::installStyleSheet(*app, file.fileName()));
    QCOMPARE(app->styleSheet(), sheet);
    app->setStyleSheet(QString());
}

void AppSetupTest::missingStyleSheetIsIgnored()
{
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    app->setStyleSheet(QStringLiteral("QWidget {}"));
    QVERIFY(!AppSetup::installStyleSheet(*app, QStringLiteral(":/skin/qss/no-such-sheet.css")));
    QCOMPARE(app->styleSheet(), QStringLiteral("QWidget {}"));
    app->setStyleSheet(QString());
}

void AppSetupTest::skinStyleSheetIsCompiledIn()
{
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    QVERIFY(AppSetup::installStyleSheet(*app));
    QVERIFY(app->styleSheet().contains(QStringLiteral("QMXLabel")));
    app->setStyleSheet(QString());
}

void AppSetupTest::fontIsThirteenPixelsWithChineseShapes()
{
    AppSetup::installApplicationFont(2052);
    const QFont font = QApplication::font();
    QCOMPARE(font.family(), QStringLiteral("Microsoft YaHei"));
    QCOMPARE(font.pixelSize(), 13);
    const QFontInfo info(font);
    QCOMPARE(info.pixelSize(), 13);
    // Without the skin's own family on the machine, a simplified-Chinese CJK face stands in for it.
    if (!QFontDatabase::families().contains(QStringLiteral("Microsoft YaHei"))) {
        QCOMPARE(info.family(), QStringLiteral("Noto Sans CJK SC"));
    }
}

void AppSetupTest::fontSubstitutesByLanguage_data()
{
    QTest::addColumn<int>("languageId");
    QTest::addColumn<QString>("first");
    QTest::newRow("zh_CN") << 2052 << "Noto Sans CJK SC";
    QTest::newRow("zh_TW") << 1028 << "Noto Sans CJK TC";
    QTest::newRow("en_US") << 1033 << "Noto Sans CJK SC";
    QTest::newRow("ru_RU") << 1049 << "Noto Sans CJK SC";
}

void AppSetupTest::fontSubstitutesByLanguage()
{
    QFETCH(int, languageId);
    QFETCH(QString, first);
    const QStringList substitutes = AppSetup::fontSubstitutes(languageId);
    QVERIFY(!substitutes.isEmpty());
    QCOMPARE(substitutes.first(), first);
}

void AppSetupTest::metaTypeAliases_data()
{
    QTest::addColumn<QByteArray>("alias");
    QTest::addColumn<int>("type");
    QTest::newRow("tuint16") << QByteArray("tuint16") << int(QMetaType::UShort);
    QTest::newRow("tint16") << QByteArray("tint16") << int(QMetaType::Short);
    QTest::newRow("tuint32") << QByteArray("tuint32") << int(QMetaType::UInt);
    QTest::newRow("tint32") << QByteArray("tint32") << int(QMetaType::Int);
    QTest::newRow("tuint64") << QByteArray("tuint64") << int(QMetaType::ULongLong);
    QTest::newRow("tint64") << QByteArray("tint64") << int(QMetaType::LongLong);
    QTest::newRow("tuint_ptr") << QByteArray("tuint_ptr") << int(QMetaType::UInt);
    QTest::newRow("tint_ptr") << QByteArray("tint_ptr") << int(QMetaType::Int);
}

void AppSetupTest::metaTypeAliases()
{
    QFETCH(QByteArray, alias);
    QFETCH(int, type);
    AppSetup::registerMetaTypeAliases();
    const QMetaType metaType = QMetaType::fromName(alias);
    QVERIFY2(metaType.isValid(), alias.constData());
    QCOMPARE(metaType.id(), type);
}

void AppSetupTest::pluginPathBesideTheProgram()
{
    const QString plugins = QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../plugins"));
    const bool existed = QDir(plugins).exists();
    if (!existed) {
        AppSetup::addPluginPath();
        QVERIFY(!QCoreApplication::libraryPaths().contains(plugins));
        QVERIFY(QDir().mkpath(plugins));
    }
    AppSetup::addPluginPath();
    const bool added = QCoreApplication::libraryPaths().contains(plugins);
    if (!existed) {
        QDir().rmdir(plugins);
    }
    QVERIFY(added);
}

QTEST_MAIN(AppSetupTest)
#include "AppSetupTest.moc"
