#include "PortLineEdit.h"

#include "WidgetTestSupport.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLocale>
#include <QTest>

// The port field takes 0 to 65535 and never a sign.
class PortLineEditTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void typing_data();
    void typing();
    void plusKeyNeverReachesTheEditor();
    void digitsOnlyWhateverTheLocale_data();
    void digitsOnlyWhateverTheLocale();
    void cleanup();
};

void PortLineEditTest::initTestCase()
{
    QCOMPARE(WidgetTestSupport::applySkin(), WidgetTestSupport::skinExpected());
}

void PortLineEditTest::typing_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("acceptable");

    QTest::newRow("65535 is the highest port") << "65535"
                                               << "65535" << true;
    QTest::newRow("65536: the last digit is refused") << "65536"
                                                      << "6553" << true;
    QTest::newRow("99999") << "99999"
                           << "9999" << true;
    QTest::newRow("0") << "0"
                       << "0" << true;
    QTest::newRow("plus before digits") << "+80"
                                        << "80" << true;
    QTest::newRow("plus between digits") << "8+0"
                                         << "80" << true;
    QTest::newRow("plus alone") << "+"
                                << "" << false;
    QTest::newRow("minus") << "-1"
                           << "1" << true;
    QTest::newRow("letters") << "8a0b"
                             << "80" << true;
}

void PortLineEditTest::typing()
{
    QFETCH(QString, keys);
    QFETCH(QString, text);
    QFETCH(bool, acceptable);

    PortLineEdit edit;
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    QTest::keyClicks(&edit, keys);
    QCOMPARE(edit.text(), text);
    QCOMPARE(edit.hasAcceptableInput(), acceptable);
}

void PortLineEditTest::plusKeyNeverReachesTheEditor()
{
    PortLineEdit edit;
    edit.setText(QStringLiteral("12"));
    edit.setCursorPosition(0);
    QTest::keyClick(&edit, Qt::Key_Plus, Qt::ShiftModifier);
    QTest::keyClick(&edit, Qt::Key_Plus, Qt::KeypadModifier);
    QCOMPARE(edit.text(), QStringLiteral("12"));
    QCOMPARE(edit.cursorPosition(), 0);
    QCOMPARE(edit.contextMenuPolicy(), Qt::NoContextMenu);
}

void PortLineEditTest::cleanup()
{
    QLocale::setDefault(QLocale::c());
}

// A locale's group separators and signs would read back as port 0; typed or pasted, the
// field keeps only plain digits under every language the program ships and a few more.
void PortLineEditTest::digitsOnlyWhateverTheLocale_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<bool>("paste");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("text");

    struct Case
    {
        bool paste;
        const char16_t* input;
        const char16_t* text;
    };
    const Case cases[] = {
        {true, u"1,000", u""},
        {true, u"65,535", u""},
        {true, u"1.000", u""},
        {true, u"1 000", u""},
        {true, u"1\u00a0000", u""},
        {true, u"+80", u""},
        {true, u"-1", u""},
        {true, u"\uff18\uff10", u""},
        {true, u"8080", u"8080"},
        {false, u"1,000", u"1000"},
        {false, u"1.000", u"1000"},
        {false, u"65 535", u"65535"},
    };
    const char* const locales[] = {"C", "en_US", "zh_CN", "zh_TW", "ru_RU", "de_DE"};
    for (const char* locale : locales) {
        for (const Case& c : cases) {
            const QString input = QString::fromUtf16(c.input);
            const QString tag = QString(input).replace(QChar(0xa0), QStringLiteral("<nbsp>"));
            QTest::addRow("%s %s \"%s\"", locale, c.paste ? "paste" : "type", qPrintable(tag))
                << QString::fromLatin1(locale) << c.paste << input << QString::fromUtf16(c.text);
        }
    }
}

void PortLineEditTest::digitsOnlyWhateverTheLocale()
{
    QFETCH(QString, locale);
    QFETCH(bool, paste);
    QFETCH(QString, input);
    QFETCH(QString, text);

    QLocale::setDefault(QLocale(locale));
    PortLineEdit edit;
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    if (paste) {
        QGuiApplication::clipboard()->setText(input);
        QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    } else {
        QTest::keyClicks(&edit, input);
    }
    QCOMPARE(edit.text(), text);
    // What the field shows is what a reader of the port gets.
    bool isNumber = false;
    const uint port = edit.text().toUInt(&isNumber);
    QCOMPARE(isNumber, !text.isEmpty());
    QCOMPARE(port, text.toUInt());
}

QTEST_MAIN(PortLineEditTest)
#include "PortLineEditTest.moc"
