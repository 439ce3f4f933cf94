#include "IpAddrEdit.h"
#include "MacAddrEdit.h"
#include "WidgetTestSupport.h"

#include <QAccessible>
#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include <memory>

// Both address editors, driven the way a user drives them: one key at a time into whatever
// widget has the focus, so the focus moves between the fields are what is tested.
class SegmentedAddrEditTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void typing_data();
    void typing();
    void inputMethodCommit_data();
    void inputMethodCommit();
    void paste_data();
    void paste();
    void setText_data();
    void setText();
    void signalsOfSetText_data();
    void signalsOfSetText();
    void focusLookStaysWhileFocusMovesInside_data();
    void focusLookStaysWhileFocusMovesInside();
    void separators_data();
    void separators();
    void accessibleNamesAndValue();

private:
    // An editor in a window of its own, beside a plain line edit that can take the focus away.
    struct Window
    {
        std::unique_ptr<QWidget> top;
        SegmentedAddrEdit* edit = nullptr;
        QLineEdit* other = nullptr;
        bool active = false;
    };
    static Window makeWindow(const QString& kind);
    static QList<QLineEdit*> fields(SegmentedAddrEdit* edit);
    static int focusedField(SegmentedAddrEdit* edit);
    static QStringList tokens(const QString& keys);
    static void type(const QString& keys);
};

namespace {
const QColor kFocusedBorder(56, 145, 180);
const QColor kRestBorder(103, 111, 116);
const QColor kDisabledSeparator(70, 73, 77);
const QColor kEnabledSeparator(172, 172, 172);

// The lowest row of the area holding a pixel of the colour, or -1.
int lowestInk(const QImage& image, const QRect& area, const QColor& colour)
{
    for (int y = area.bottom(); y >= area.top(); --y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (image.pixelColor(x, y) == colour) {
                return y;
            }
        }
    }
    return -1;
}
} // namespace

void SegmentedAddrEditTest::initTestCase()
{
    QVERIFY(WidgetTestSupport::loadTestLanguage(1033));
    QCOMPARE(WidgetTestSupport::applySkin(), WidgetTestSupport::skinExpected());
}

SegmentedAddrEditTest::Window SegmentedAddrEditTest::makeWindow(const QString& kind)
{
    Window window;
    window.top = std::make_unique<QWidget>();
    auto* layout = new QVBoxLayout(window.top.get());
    if (kind == QLatin1String("ip")) {
        window.edit = new IpAddrEdit(window.top.get());
    } else {
        window.edit = new MacAddrEdit(window.top.get());
    }
    window.edit->setFixedSize(200, 26);
    window.other = new QLineEdit(window.top.get());
    layout->addWidget(window.edit);
    layout->addWidget(window.other);
    window.top->show();
    window.top->activateWindow();
    // Activation focuses the editor's first field; the tests start with the focus elsewhere.
    window.active = QTest::qWaitForWindowActive(window.top.get());
    window.other->setFocus(Qt::OtherFocusReason);
    return window;
}

QList<QLineEdit*> SegmentedAddrEditTest::fields(SegmentedAddrEdit* edit)
{
    return edit->findChildren<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly);
}

int SegmentedAddrEditTest::focusedField(SegmentedAddrEdit* edit)
{
    return static_cast<int>(fields(edit).indexOf(qobject_cast<QLineEdit*>(QApplication::focusWidget())));
}

// Characters are typed as themselves; {B}, {L} and {R} are Backspace, Left and Right.
QStringList SegmentedAddrEditTest::tokens(const QString& keys)
{
    QStringList result;
    for (int i = 0; i < keys.size(); ++i) {
        const int length = keys.at(i) == QLatin1Char('{') ? 3 : 1;
        result << keys.mid(i, length);
        i += length - 1;
    }
    return result;
}

void SegmentedAddrEditTest::type(const QString& keys)
{
    for (const QString& token : tokens(keys)) {
        QWidget* target = QApplication::focusWidget();
        QVERIFY(target);
        if (token == QLatin1String("{B}")) {
            QTest::keyClick(target, Qt::Key_Backspace);
        } else if (token == QLatin1String("{L}")) {
            QTest::keyClick(target, Qt::Key_Left);
        } else if (token == QLatin1String("{R}")) {
            QTest::keyClick(target, Qt::Key_Right);
        } else {
            QTest::keyClick(target, token.at(0).toLatin1());
        }
    }
}

void SegmentedAddrEditTest::typing_data()
{
    struct TypingCase
    {
        const char* name;
        const char* kind;
        const char* initial;
        const char* keys;
        const char* text;
        int focus;
        int cursor;
        const char* selected;
    };
    const TypingCase rows[] = {
        // Advancing.
        {"ip untouched", "ip", "", "", "", 0, 0, ""},
        {"ip 192 advances, next selected", "ip", "1.2.3.4", "192", "192.2.3.4", 1, 1, "2"},
        {"ip 30 advances", "ip", "", "30", "30...", 1, 0, ""},
        {"ip 25 waits", "ip", "", "25", "25...", 0, 2, ""},
        {"ip single digit never advances", "ip", "", "9", "9...", 0, 1, ""},
        {"ip full address", "ip", "", "192.168.1.10", "192.168.1.10", 3, 2, ""},
        {"ip partial 10.0..1", "ip", "", "10.0.{R}1", "10.0..1", 3, 1, ""},
        {"mac hex pairs 00 1a", "mac", "", "001a", "00:1a::::", 2, 0, ""},
        {"mac pair advances, next selected", "mac", "00:11:22:33:44:55", "Ab", "Ab:11:22:33:44:55", 1, 2, "11"},
        {"mac partial 00:1A::::", "mac", "", "001A", "00:1A::::", 2, 0, ""},
        {"mac single digit waits", "mac", "", "f", "f:::::", 0, 1, ""},
        {"mac not hex", "mac", "", "g0", "0:::::", 0, 1, ""},
        // Separators.
        {"ip dot in an empty field", "ip", "", ".", "", 0, 0, ""},
        {"ip dot in the last field", "ip", "", "1.1.1.1.", "1.1.1.1", 3, 1, ""},
        {"ip dot over a selected octet", "ip", "1.2.3.4", ".", "1.2.3.4", 1, 1, "2"},
        {"mac full stop moves on", "mac", "", "0.1", "0:1::::", 1, 1, ""},
        {"mac colon is refused", "mac", "", "0:", "0:::::", 0, 1, ""},
        {"mac full stop in the last field", "mac", "", "001122334455.", "00:11:22:33:44:55", 5, 2, ""},
        // Backspace.
        {"ip backspace: 168 becomes 16", "ip", "", "192168{B}", "192.16..", 1, 2, ""},
        {"ip backspace at the start of a full field", "ip", "", "12.24{L}{L}{B}", "12.24..", 1, 0, ""},
        {"ip backspace empties the previous field", "ip", "", "1.{B}{B}", "", 0, 0, ""},
        {"mac backspace across fields", "mac", "", "001{B}{B}", "0:::::", 0, 1, ""},
        // Arrows at the edges.
        {"ip left at the start goes to the previous end", "ip", "", "12.3{L}{L}", "12.3..", 0, 2, ""},
        {"ip right at the end goes to the next start", "ip", "", "12{L}{L}{R}{R}{R}", "12...", 1, 0, ""},
        {"ip arrows stop at both ends", "ip", "", "{L}1.1.1.1{R}", "1.1.1.1", 3, 1, ""},
        {"ip right into a filled field starts at its beginning", "ip", "1.22.3.4", "{R}", "1.22.3.4", 1, 0, ""},
        {"mac right through empty fields", "mac", "", "{R}{R}{R}{R}{R}{R}a", ":::::a", 5, 1, ""},
    };
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("initial");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("focus");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<QString>("selected");
    for (const TypingCase& row : rows) {
        QTest::newRow(row.name) << QString::fromUtf8(row.kind) << QString::fromUtf8(row.initial)
                                << QString::fromUtf8(row.keys) << QString::fromUtf8(row.text) << row.focus << row.cursor
                                << QString::fromUtf8(row.selected);
    }
}

void SegmentedAddrEditTest::typing()
{
    QFETCH(QString, kind);
    QFETCH(QString, initial);
    QFETCH(QString, keys);
    QFETCH(QString, text);
    QFETCH(int, focus);
    QFETCH(int, cursor);
    QFETCH(QString, selected);

    Window window = makeWindow(kind);
    QVERIFY(window.active);
    if (!initial.isEmpty()) {
        QVERIFY(window.edit->setText(initial));
    }
    window.edit->setFocus(Qt::TabFocusReason);
    QCOMPARE(focusedField(window.edit), 0);
    type(keys);

    QCOMPARE(window.edit->text(), text);
    QCOMPARE(focusedField(window.edit), focus);
    const QLineEdit* field = fields(window.edit).at(focus);
    QCOMPARE(field->selectedText(), selected);
    QCOMPARE(field->cursorPosition(), selected.isEmpty() ? cursor : static_cast<int>(field->text().size()));
}

void SegmentedAddrEditTest::inputMethodCommit_data()
{
    struct CommitCase
    {
        const char* name;
        const char* kind;
        const char* before;
        const char* commit;
        const char* text;
        int focus;
    };
    const CommitCase rows[] = {
        {"ip full stop", "ip", "1", ".", "1...", 1},
        {"ip ideographic full stop", "ip", "1", "\u3002", "1...", 1},
        {"ip full stop in an empty field", "ip", "", "\u3002", "", 0},
        {"ip full stop in the last field", "ip", "1.2.3.4", "\u3002", "1.2.3.4", 3},
        {"ip digit commit", "ip", "", "7", "7...", 0},
        {"ip colon does not move", "ip", "1", "\uFF1A", "1...", 0},
        {"mac colon", "mac", "a", ":", "a:::::", 1},
        {"mac fullwidth colon", "mac", "a", "\uFF1A", "a:::::", 1},
        {"mac colon in an empty field", "mac", "", ":", "", 0},
        {"mac full stop commit does not move", "mac", "a", "\u3002", "a:::::", 0},
    };
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("commit");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("focus");
    for (const CommitCase& row : rows) {
        QTest::newRow(row.name) << QString::fromUtf8(row.kind) << QString::fromUtf8(row.before)
                                << QString::fromUtf8(row.commit) << QString::fromUtf8(row.text) << row.focus;
    }
}

void SegmentedAddrEditTest::inputMethodCommit()
{
    QFETCH(QString, kind);
    QFETCH(QString, before);
    QFETCH(QString, commit);
    QFETCH(QString, text);
    QFETCH(int, focus);

    Window window = makeWindow(kind);
    QVERIFY(window.active);
    window.edit->setFocus(Qt::TabFocusReason);
    type(before);
    QInputMethodEvent event;
    event.setCommitString(commit);
    QApplication::sendEvent(QApplication::focusWidget(), &event);

    QCOMPARE(window.edit->text(), text);
    QCOMPARE(focusedField(window.edit), focus);
}

void SegmentedAddrEditTest::paste_data()
{
    struct PasteCase
    {
        const char* name;
        const char* kind;
        const char* before;
        const char* pasted;
        const char* text;
        int focus;
    };
    // The paste goes into the first field, whose text focusing selected.
    const PasteCase rows[] = {
        {"ip whole address", "ip", "", "192.168.1.1", "", 0},
        {"ip whole address over a field", "ip", "10.0.0.1", "192.168.1.1", "10.0.0.1", 0},
        {"ip octet too large", "ip", "10.0.0.1", "256", "10.0.0.1", 0},
        {"ip four digits", "ip", "", "1000", "", 0},
        {"ip letters", "ip", "10.0.0.1", "abc", "10.0.0.1", 0},
        {"ip with a blank", "ip", "", "19 ", "", 0},
        {"ip octet", "ip", "", "192", "192...", 1},
        {"ip short octet stays", "ip", "10.0.0.1", "19", "19.0.0.1", 0},
        {"mac whole address", "mac", "", "00:1A:2B:3C:4D:5E", "", 0},
        {"mac three digits", "mac", "aa:bb:cc:dd:ee:ff", "001", "aa:bb:cc:dd:ee:ff", 0},
        {"mac not hexadecimal", "mac", "", "0g", "", 0},
        {"mac pair", "mac", "", "a1", "a1:::::", 1},
    };
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("focus");
    for (const PasteCase& row : rows) {
        QTest::newRow(row.name) << QString::fromUtf8(row.kind) << QString::fromUtf8(row.before)
                                << QString::fromUtf8(row.pasted) << QString::fromUtf8(row.text) << row.focus;
    }
}

void SegmentedAddrEditTest::paste()
{
    QFETCH(QString, kind);
    QFETCH(QString, before);
    QFETCH(QString, pasted);
    QFETCH(QString, text);
    QFETCH(int, focus);

    Window window = makeWindow(kind);
    QVERIFY(window.active);
    if (!before.isEmpty()) {
        QVERIFY(window.edit->setText(before));
    }
    window.edit->setFocus(Qt::TabFocusReason);
    QCOMPARE(focusedField(window.edit), 0);
    QGuiApplication::clipboard()->setText(pasted);
    QCOMPARE(QGuiApplication::clipboard()->text(), pasted);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_V, Qt::ControlModifier);

    QCOMPARE(window.edit->text(), text);
    QCOMPARE(focusedField(window.edit), focus);
}

void SegmentedAddrEditTest::setText_data()
{
    struct SetTextCase
    {
        const char* name;
        const char* kind;
        const char* address;
        bool accepted;
        const char* text;
    };
    const SetTextCase rows[] = {
        {"ip leading zeros kept as given", "ip", "192.168.001.010", true, "192.168.001.010"},
        {"ip limits", "ip", "0.0.255.255", true, "0.0.255.255"},
        {"ip octet above 255", "ip", "192.168.1.256", false, ""},
        {"ip missing octet", "ip", "192.168.1", false, ""},
        {"ip five octets", "ip", "1.2.3.4.5", false, ""},
        {"ip surrounding space", "ip", " 192.168.1.1", false, ""},
        {"ip empty", "ip", "", false, ""},
        {"ip fullwidth digit", "ip", "１92.168.1.1", false, ""},
        {"mac case kept", "mac", "00:1a:2B:3c:4D:5e", true, "00:1a:2B:3c:4D:5e"},
        {"mac hyphens", "mac", "00-1A-2B-3C-4D-5E", false, ""},
        {"mac missing pair", "mac", "00:1A:2B:3C:4D", false, ""},
        {"mac not hex", "mac", "00:1A:2B:3C:4D:5G", false, ""},
        {"mac empty clears", "mac", "", false, ""},
    };
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("text");
    for (const SetTextCase& row : rows) {
        QTest::newRow(row.name) << QString::fromUtf8(row.kind) << QString::fromUtf8(row.address) << row.accepted
                                << QString::fromUtf8(row.text);
    }
}

// A refused address clears whatever the editor held before.
void SegmentedAddrEditTest::setText()
{
    QFETCH(QString, kind);
    QFETCH(QString, address);
    QFETCH(bool, accepted);
    QFETCH(QString, text);

    Window window = makeWindow(kind);
    QVERIFY(window.edit->setText(kind == QLatin1String("ip") ? QStringLiteral("10.0.0.1")
                                                             : QStringLiteral("AA:BB:CC:DD:EE:FF")));
    QCOMPARE(window.edit->setText(address), accepted);
    QCOMPARE(window.edit->text(), text);
}

void SegmentedAddrEditTest::signalsOfSetText_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QStringList>("emitted");

    QTest::newRow("ip from empty: one pair per field") << "ip"
                                                       << ""
                                                       << "10.0.0.1"
                                                       << QStringList{"changed 10...",
                                                                      "edited 10...",
                                                                      "changed 10.0..",
                                                                      "edited 10.0..",
                                                                      "changed 10.0.0.",
                                                                      "edited 10.0.0.",
                                                                      "changed 10.0.0.1",
                                                                      "edited 10.0.0.1"};
    QTest::newRow("ip unchanged octets stay silent")
        << "ip"
        << "1.2.3.4"
        << "1.5.3.6" << QStringList{"changed 1.5.3.4", "edited 1.5.3.4", "changed 1.5.3.6", "edited 1.5.3.6"};
    QTest::newRow("ip refused clears with dots only") << "ip"
                                                      << "1.2.3.4"
                                                      << "1.2.3"
                                                      << QStringList{"changed .2.3.4",
                                                                     "edited .2.3.4",
                                                                     "changed ..3.4",
                                                                     "edited ..3.4",
                                                                     "changed ...4",
                                                                     "edited ...4",
                                                                     "changed ...",
                                                                     "edited ..."};
    QTest::newRow("mac one pair") << "mac"
                                  << "00:11:22:33:44:55"
                                  << "00:11:22:33:44:5A"
                                  << QStringList{"changed 00:11:22:33:44:5A", "edited 00:11:22:33:44:5A"};
    QTest::newRow("mac refused while empty") << "mac"
                                             << ""
                                             << "00-11-22-33-44-55" << QStringList{};
}

void SegmentedAddrEditTest::signalsOfSetText()
{
    QFETCH(QString, kind);
    QFETCH(QString, before);
    QFETCH(QString, address);
    QFETCH(QStringList, emitted);

    Window window = makeWindow(kind);
    window.edit->setText(before);
    QStringList seen;
    connect(window.edit, &SegmentedAddrEdit::textchanged, this, [&seen](const QString& text) {
        seen << QStringLiteral("changed ") + text;
    });
    connect(window.edit, &SegmentedAddrEdit::textedited, this, [&seen](const QString& text) {
        seen << QStringLiteral("edited ") + text;
    });
    window.edit->setText(address);
    QCOMPARE(seen, emitted);
}

void SegmentedAddrEditTest::focusLookStaysWhileFocusMovesInside_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("keys");

    QTest::newRow("ip") << "ip"
                        << "192.168{B}{L}{L}{L}{R}{R}{R}{R}";
    QTest::newRow("mac") << "mac"
                         << "00.11{B}{B}{B}{R}{R}";
}

// The border colour tells the look apart: focused while any field has the focus, at rest after.
void SegmentedAddrEditTest::focusLookStaysWhileFocusMovesInside()
{
    QFETCH(QString, kind);
    QFETCH(QString, keys);

    Window window = makeWindow(kind);
    QVERIFY(window.active);
    const QPoint topEdge(window.edit->width() / 2, 0);
    QCOMPARE(window.edit->grab().toImage().pixelColor(topEdge), kRestBorder);

    window.edit->setFocus(Qt::TabFocusReason);
    for (const QString& key : tokens(keys)) {
        type(key);
        QVERIFY(window.edit->isAncestorOf(QApplication::focusWidget()));
        QCOMPARE(window.edit->grab().toImage().pixelColor(topEdge), kFocusedBorder);
    }
    QVERIFY(focusedField(window.edit) > 0);

    window.other->setFocus(Qt::TabFocusReason);
    QCOMPARE(window.edit->grab().toImage().pixelColor(topEdge), kRestBorder);
}

void SegmentedAddrEditTest::separators_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QColor>("colour");

    QTest::newRow("ip enabled") << "ip"
                                << "100.100.100.100" << true << kEnabledSeparator;
    QTest::newRow("ip disabled") << "ip"
                                 << "100.100.100.100" << false << kDisabledSeparator;
    QTest::newRow("mac enabled") << "mac"
                                 << "AA:AA:AA:AA:AA:AA" << true << kEnabledSeparator;
    QTest::newRow("mac disabled") << "mac"
                                  << "AA:AA:AA:AA:AA:AA" << false << kDisabledSeparator;
}

// Each separator is painted between its two fields, in the pen colour of the state, standing on
// the same line as the digits. Antialiasing is off, so separator and digit pixels have that colour.
void SegmentedAddrEditTest::separators()
{
    QFETCH(QString, kind);
    QFETCH(QString, address);
    QFETCH(bool, enabled);
    QFETCH(QColor, colour);

    for (const QSize size : {QSize(170, 23), QSize(200, 26)}) {
        Window window = makeWindow(kind);
        window.edit->setFixedSize(size);
        QFont font = window.edit->font();
        font.setStyleStrategy(QFont::NoAntialias);
        window.edit->setFont(font);
        QVERIFY(window.edit->setText(address));
        window.edit->setEnabled(enabled);
        QApplication::processEvents();
        const QImage image = window.edit->grab().toImage();
        const QList<QLineEdit*> parts = fields(window.edit);
        const int digitsBottom = lowestInk(image, parts.at(0)->geometry(), colour);
        QVERIFY(digitsBottom > 0);
        for (int k = 1; k < parts.size(); ++k) {
            const QRect between(parts.at(k)->x() - 3, 1, 7, image.height() - 2);
            QCOMPARE(lowestInk(image, between, colour), digitsBottom);
        }
    }
}

void SegmentedAddrEditTest::accessibleNamesAndValue()
{
    IpAddrEdit ip;
    MacAddrEdit mac;
    QAccessibleInterface* secondOctet = QAccessible::queryAccessibleInterface(fields(&ip).at(1));
    QVERIFY(secondOctet);
    QCOMPARE(secondOctet->text(QAccessible::Name), QStringLiteral("octet 2 of 4"));
    QAccessibleInterface* lastPair = QAccessible::queryAccessibleInterface(fields(&mac).at(5));
    QVERIFY(lastPair);
    QCOMPARE(lastPair->text(QAccessible::Name), QStringLiteral("pair 6 of 6"));

    QAccessibleInterface* box = QAccessible::queryAccessibleInterface(&mac);
    QVERIFY(box);
    QVERIFY(mac.setText(QStringLiteral("00:1A:2B:3C:4D:5E")));
    QCOMPARE(box->text(QAccessible::Description), QStringLiteral("00:1A:2B:3C:4D:5E"));
    mac.setText(QString());
    QCOMPARE(box->text(QAccessible::Description), QString());
}

QTEST_MAIN(SegmentedAddrEditTest)
#include "SegmentedAddrEditTest.moc"
