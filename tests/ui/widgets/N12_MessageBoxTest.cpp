#include "N12_MessageBox.h"

#include "AdaptImage.h"
#include "WidgetTestSupport.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

// The message box: which result each way of ending it gives, button order and gaps, kinds.
class N12_MessageBoxTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void result_data();
    void result();
    void buttonLayout_data();
    void buttonLayout();
    void kinds_data();
    void kinds();
    void textFitsItsLabel_data();
    void textFitsItsLabel();
    void convenienceForms_data();
    void convenienceForms();

private:
    // Runs `call` (which opens a modal box) and acts on the box once its loop runs.
    void whileModal(const std::function<void(N12_MessageBox*)>& action);
};

namespace {
enum Action
{
    ClickYes = 1,
    ClickNo = 2,
    ClickAllYes = 4,
    ClickAllNot = 8,
    ClickOk = 16,
    ClickCancel = 32,
    PressReturn = 100,
    PressEnter,
    PressEscape,
    CloseButton
};

void act(N12_MessageBox* box, int action)
{
    // Keys go where the user's keys go: to the focused widget (the default button).
    QWidget* focus = box->focusWidget() != nullptr ? box->focusWidget() : box;
    switch (action) {
    case PressReturn:
        QTest::keyClick(focus, Qt::Key_Return);
        break;
    case PressEnter:
        QTest::keyClick(focus, Qt::Key_Enter, Qt::KeypadModifier);
        break;
    case PressEscape:
        QTest::keyClick(focus, Qt::Key_Escape);
        break;
    case CloseButton:
        QTest::mouseClick(box->findChild<QAbstractButton*>(QStringLiteral("closeButton")), Qt::LeftButton);
        break;
    default:
        QTest::mouseClick(box->findChild<QAbstractButton*>(QStringLiteral("button%1").arg(action)), Qt::LeftButton);
        break;
    }
}
} // namespace

void N12_MessageBoxTest::initTestCase()
{
    QCOMPARE(WidgetTestSupport::applySkin(), WidgetTestSupport::skinExpected());
    QVERIFY(WidgetTestSupport::loadTestLanguage(1033));
}

void N12_MessageBoxTest::cleanupTestCase()
{
    releaseLanguage();
}

void N12_MessageBoxTest::whileModal(const std::function<void(N12_MessageBox*)>& action)
{
    QTimer::singleShot(0, this, [action]() {
        auto* box = qobject_cast<N12_MessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        action(box);
        // A failed action must not leave the test waiting on a modal loop.
        if (box->isVisible()) {
            box->done(QDialog::Rejected);
            QFAIL("the message box stayed open");
        }
    });
}

void N12_MessageBoxTest::result_data()
{
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("action");
    QTest::addColumn<int>("expected");

    const int ok = N12_MessageBox::Ok;
    const int yesNo = N12_MessageBox::Yes | N12_MessageBox::No;
    const int okCancel = N12_MessageBox::Ok | N12_MessageBox::Cancel;
    QTest::newRow("OK only: click") << ok << int(ClickOk) << 16;
    QTest::newRow("OK only: Return") << ok << int(PressReturn) << 16;
    QTest::newRow("OK only: Enter") << ok << int(PressEnter) << 16;
    QTest::newRow("OK only: Escape") << ok << int(PressEscape) << 16;
    QTest::newRow("OK only: close button") << ok << int(CloseButton) << 16;
    QTest::newRow("Yes/No: click Yes") << yesNo << int(ClickYes) << 1;
    QTest::newRow("Yes/No: click No") << yesNo << int(ClickNo) << 2;
    QTest::newRow("Yes/No: Return presses No") << yesNo << int(PressReturn) << 2;
    QTest::newRow("Yes/No: Escape") << yesNo << int(PressEscape) << 2;
    QTest::newRow("Yes/No: close button") << yesNo << int(CloseButton) << 2;
    QTest::newRow("OK/Cancel: click OK") << okCancel << int(ClickOk) << 16;
    QTest::newRow("OK/Cancel: Return presses Cancel") << okCancel << int(PressReturn) << 32;
    QTest::newRow("OK/Cancel: Escape") << okCancel << int(PressEscape) << 32;
    QTest::newRow("Escape: Cancel wins over No and All-not") << (8 | 2 | 32 | 1) << int(PressEscape) << 32;
    QTest::newRow("Escape: No wins over All-not") << (8 | 2 | 4) << int(PressEscape) << 2;
    QTest::newRow("Escape: All-not alone") << (4 | 8) << int(PressEscape) << 8;
    QTest::newRow("Escape without a refusing button keeps the preset") << (4 | 1) << int(PressEscape) << 1;
    QTest::newRow("all four: click All-yes") << (4 | 8 | 1 | 2) << int(ClickAllYes) << 4;
    QTest::newRow("all four: click All-not") << (4 | 8 | 1 | 2) << int(ClickAllNot) << 8;
}

void N12_MessageBoxTest::result()
{
    QFETCH(int, buttons);
    QFETCH(int, action);
    QFETCH(int, expected);

    whileModal([action](N12_MessageBox* box) { act(box, action); });
    QCOMPARE(showMessage(QStringLiteral("text"), buttons, N12_MessageBox::Question), expected);
}

void N12_MessageBoxTest::buttonLayout_data()
{
    QTest::addColumn<int>("buttons");
    QTest::addColumn<QList<int>>("order");
    QTest::addColumn<int>("gapAfter");

    // gapAfter: index of the button followed by the 20-pixel gap, -1 for none.
    QTest::newRow("OK") << 16 << QList<int>{16} << -1;
    QTest::newRow("OK, Cancel") << (16 | 32) << QList<int>{16, 32} << -1;
    QTest::newRow("Yes, No") << (1 | 2) << QList<int>{1, 2} << -1;
    QTest::newRow("All-yes, All-not, gap, Yes, No") << (4 | 8 | 1 | 2) << QList<int>{4, 8, 1, 2} << 1;
    QTest::newRow("All-yes, All-not, gap, OK") << (4 | 8 | 16) << QList<int>{4, 8, 16} << 1;
    QTest::newRow("All-yes, gap, OK, Cancel") << (4 | 16 | 32) << QList<int>{4, 16, 32} << 0;
}

void N12_MessageBoxTest::buttonLayout()
{
    QFETCH(int, buttons);
    QFETCH(QList<int>, order);
    QFETCH(int, gapAfter);

    N12_MessageBox box(QStringLiteral("text"), buttons, N12_MessageBox::Question);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QCOMPARE(box.size(), QSize(360, 200));
    const QList<QAbstractButton*> created = box.buttonList();
    QCOMPARE(created.size(), order.size());
    // Right-aligned at x 349 (width 360 - 11), each button directly left of the next.
    int right = 349;
    for (int i = int(order.size()) - 1; i >= 0; --i) {
        QAbstractButton* button = created.at(i);
        QCOMPARE(button->objectName(), QStringLiteral("button%1").arg(order.at(i)));
        if (i == gapAfter) {
            right -= 20;
        }
        const QRect rect = button->geometry();
        QCOMPARE(rect.right(), right);
        QCOMPARE(rect.top(), 173);
        QCOMPARE(rect.height(), 23);
        QVERIFY(rect.width() >= 70);
        // Short captions keep the standard width; longer ones are widened, never cut.
        const int textWidth = button->fontMetrics().horizontalAdvance(button->text());
        QVERIFY(textWidth > 0);
        QVERIFY(textWidth <= rect.width() - 24);
        if (order.at(i) == 16 || order.at(i) == 32 || order.at(i) == 1 || order.at(i) == 2) {
            QCOMPARE(rect.width(), 70);
        }
        right = rect.left() - 1;
    }
    // The last button is the default and holds the preset result.
    QCOMPARE(box.result(), order.last());
    auto* last = qobject_cast<QPushButton*>(created.last());
    QVERIFY(last && last->isDefault() && last->autoDefault());

    box.resize(500, 240);
    QCOMPARE(created.last()->geometry(), QRect(420, 213, 70, 23));
}

void N12_MessageBoxTest::kinds_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("titleKey");
    QTest::addColumn<QString>("icon");

    QTest::newRow("warning") << 1 << "IDCS_WARNING"
                             << ":/skin/Warning.png";
    QTest::newRow("error") << 2 << "IDCS_ERROR"
                           << ":/skin/Error.png";
    QTest::newRow("information") << 3 << "IDCS_INFORMATION"
                                 << ":/skin/Information.png";
    QTest::newRow("question") << 4 << "IDCS_QUESTION"
                              << ":/skin/Question.png";
    QTest::newRow("zero") << 0 << QString() << QString();
    QTest::newRow("five") << 5 << QString() << QString();
    QTest::newRow("negative") << -1 << QString() << QString();
}

void N12_MessageBoxTest::kinds()
{
    QFETCH(int, kind);
    QFETCH(QString, titleKey);
    QFETCH(QString, icon);

    N12_MessageBox box(QStringLiteral("Message text"), N12_MessageBox::Ok, kind);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    const QString expectedTitle =
        titleKey.isEmpty() ? QStringLiteral("KORA-7000") : getText(titleKey.toLatin1().constData());
    QVERIFY(!expectedTitle.isEmpty());
    QCOMPARE(box.title(), expectedTitle);

    auto* text = box.findChild<QLabel*>(QStringLiteral("messageText"));
    QVERIFY(text);
    QCOMPARE(text->text(), QStringLiteral("Message text"));
    QCOMPARE(text->geometry(), QRect(80, 40, 270, 110));

    auto* image = box.findChild<AdaptImage*>(QStringLiteral("messageIcon"));
    QVERIFY(image);
    QCOMPARE(image->geometry(), QRect(20, 70, 50, 50));
    // What is drawn decides: a kind's icon paints something, an unknown kind nothing.
    const QImage drawn = image->grab().toImage();
    bool uniform = true;
    for (int y = 0; y < drawn.height() && uniform; ++y) {
        for (int x = 0; x < drawn.width(); ++x) {
            if (drawn.pixel(x, y) != drawn.pixel(0, 0)) {
                uniform = false;
                break;
            }
        }
    }
    if (icon.isEmpty()) {
        QVERIFY(uniform);
    } else if (WidgetTestSupport::skinExpected()) {
        QVERIFY(QFile::exists(icon));
        QVERIFY(!uniform);
    }
}

void N12_MessageBoxTest::textFitsItsLabel_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("wraps");

    QTest::newRow("short line") << "The IP address is not valid." << false;
    QTest::newRow("lines broken by the translator") << "First line of the text\nsecond line of the text" << false;
    QTest::newRow("a longer line widens the box")
        << "The address 10.0.0.69 is used by STORAGE-6 (02:5C:04:00:00:05)." << false;
    QTest::newRow("one line wider than the widest box")
        << "This sentence is much too long to be shown on a single line of the message box label, even "
           "when the box has grown as wide as it may grow"
        << true;
}

void N12_MessageBoxTest::textFitsItsLabel()
{
    QFETCH(QString, text);
    QFETCH(bool, wraps);

    N12_MessageBox box(text, N12_MessageBox::Ok, N12_MessageBox::Error);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    auto* label = box.findChild<QLabel*>(QStringLiteral("messageText"));
    QVERIFY(label);
    QCOMPARE(label->wordWrap(), wraps);
    // Wrapped, the whole text still fits the label.
    QVERIFY(label->heightForWidth(label->width()) <= label->height() || !wraps);
}

void N12_MessageBoxTest::convenienceForms_data()
{
    QTest::addColumn<int>("form");
    QTest::addColumn<QString>("titleKey");

    QTest::newRow("showWarning") << 1 << "IDCS_WARNING";
    QTest::newRow("showError") << 2 << "IDCS_ERROR";
    QTest::newRow("showInformation") << 3 << "IDCS_INFORMATION";
}

void N12_MessageBoxTest::convenienceForms()
{
    QFETCH(int, form);
    QFETCH(QString, titleKey);

    QString title;
    int buttonCount = -1;
    whileModal([&](N12_MessageBox* box) {
        title = box->title();
        buttonCount = int(box->buttonList().size());
        act(box, ClickOk);
    });
    const QString text = QStringLiteral("Something happened");
    switch (form) {
    case 1:
        showWarning(text);
        break;
    case 2:
        showError(text);
        break;
    default:
        showInformation(text);
        break;
    }
    QCOMPARE(title, getText(titleKey.toLatin1().constData()));
    QCOMPARE(buttonCount, 1);
}

QTEST_MAIN(N12_MessageBoxTest)
#include "N12_MessageBoxTest.moc"
