#include "PortLineEdit.h"

#include "WidgetTestSupport.h"

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

QTEST_MAIN(PortLineEditTest)
#include "PortLineEditTest.moc"
