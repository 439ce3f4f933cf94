#include "AboutDlg.h"

#include "WidgetTestSupport.h"

#include <QAbstractButton>
#include <QLabel>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

// The about dialog: the build date by language id, the rows, the layout on resize.
class AboutDlgTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void formatBuildDate_data();
    void formatBuildDate();
    void dateRowFollowsLanguageId_data();
    void dateRowFollowsLanguageId();
    void rowsAndTitle();
    void layoutFollowsSize();
    void okAccepts();
};

void AboutDlgTest::initTestCase()
{
    QCOMPARE(WidgetTestSupport::applySkin(), WidgetTestSupport::skinExpected());
    QVERIFY(WidgetTestSupport::loadTestLanguage(1033));
}

void AboutDlgTest::cleanupTestCase()
{
    releaseLanguage();
}

void AboutDlgTest::formatBuildDate_data()
{
    QTest::addColumn<QString>("compilerDate");
    QTest::addColumn<int>("languageId");
    QTest::addColumn<QString>("expected");

    QTest::newRow("English (United States)") << "Dec 16 2020" << 1033 << "12/16/2020";
    QTest::newRow("Chinese (PRC)") << "Dec 16 2020" << 2052 << "2020/12/16";
    QTest::newRow("Chinese (Taiwan)") << "Dec 16 2020" << 1028 << "2020/12/16";
    QTest::newRow("Russian") << "Dec 16 2020" << 1049 << "2020/12/16";
    QTest::newRow("one-digit day, 1033") << "Mar  5 2021" << 1033 << "03/05/2021";
    QTest::newRow("one-digit day, 2052") << "Jan  1 2024" << 2052 << "2024/01/01";
    QTest::newRow("last day of a month") << "Feb 29 2024" << 1033 << "02/29/2024";
    QTest::newRow("not a date") << "Foo 99 2020" << 1033 << "";
    QTest::newRow("empty") << "" << 2052 << "";
}

void AboutDlgTest::formatBuildDate()
{
    QFETCH(QString, compilerDate);
    QFETCH(int, languageId);
    QFETCH(QString, expected);
    QCOMPARE(AboutDlg::formatBuildDate(compilerDate, languageId), expected);
}

void AboutDlgTest::dateRowFollowsLanguageId_data()
{
    QTest::addColumn<int>("languageId");
    QTest::addColumn<QString>("pattern");

    QTest::newRow("1033") << 1033 << "\\d\\d/\\d\\d/\\d{4}$";
    QTest::newRow("2052") << 2052 << "\\d{4}/\\d\\d/\\d\\d$";
    QTest::newRow("1049") << 1049 << "\\d{4}/\\d\\d/\\d\\d$";
}

void AboutDlgTest::dateRowFollowsLanguageId()
{
    QFETCH(int, languageId);
    QFETCH(QString, pattern);

    const int saved = g_languageId;
    g_languageId = languageId;
    AboutDlg dialog;
    g_languageId = saved;
    auto* date = dialog.findChild<QLabel*>(QStringLiteral("dateRow"));
    QVERIFY(date);
    const QString expected = AboutDlg::formatBuildDate(QString::fromLatin1(__DATE__), languageId);
    QVERIFY(!expected.isEmpty());
    QCOMPARE(date->text(), QStringLiteral("%1: %2").arg(getText("IDCS_DATE"), expected));
    QVERIFY(date->text().contains(QRegularExpression(pattern)));
}

void AboutDlgTest::rowsAndTitle()
{
    AboutDlg dialog;
    const QString name = getText("IDCS_SOFTWARE_NAME");
    QVERIFY(!name.isEmpty());
    QCOMPARE(dialog.title(), QStringLiteral("%1 %2").arg(getText("IDCS_ABOUT"), name));
    QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("nameRow"))->text(),
             QStringLiteral("%1: %2").arg(getText("IDCS_NAME"), name));
    QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("versionRow"))->text(),
             QStringLiteral("%1: 3.0.1.2").arg(getText("IDCS_VERSION")));
    QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("copyrightRow"))->text(), getText("IDCS_COPYRIGHT_ZEB31"));
    QCOMPARE(dialog.findChild<QAbstractButton*>(QStringLiteral("okButton"))->text(), getText("IDCS_OK"));
}

void AboutDlgTest::layoutFollowsSize()
{
    AboutDlg dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.size(), QSize(400, 220));
    auto* ok = dialog.findChild<QWidget*>(QStringLiteral("okButton"));
    auto* logo = dialog.findChild<QWidget*>(QStringLiteral("logo"));
    auto* copyright = dialog.findChild<QWidget*>(QStringLiteral("copyrightRow"));
    QCOMPARE(ok->geometry(), QRect(320, 193, 70, 23));
    QCOMPARE(logo->geometry(), QRect(40, 80, 40, 40));
    QCOMPARE(copyright->geometry(), QRect(120, 145, 300, 26));

    dialog.resize(520, 300);
    QCOMPARE(ok->geometry(), QRect(440, 273, 70, 23));
    QCOMPARE(logo->geometry(), QRect(40, 80, 40, 40));
    QCOMPARE(copyright->geometry(), QRect(120, 145, 420, 26));
}

void AboutDlgTest::okAccepts()
{
    AboutDlg dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QSignalSpy accepted(&dialog, &QDialog::accepted);
    QTest::mouseClick(dialog.findChild<QAbstractButton*>(QStringLiteral("okButton")), Qt::LeftButton);
    QCOMPARE(accepted.count(), 1);
    QVERIFY(!dialog.isVisible());
}

QTEST_MAIN(AboutDlgTest)
#include "AboutDlgTest.moc"
