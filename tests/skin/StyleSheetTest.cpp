#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSet>
#include <QSpinBox>
#include <QStringDecoder>
#include <QTest>
#include <QTreeWidget>

namespace {
const char* const kSheetPath = ":/skin/qss/stylesheet.css";

// Rules the windows rely on: selector and the declarations it must carry (as written in the
// sheet, compared without whitespace).
const std::pair<const char*, const char*> kDependedRules[] = {
    {"QMXLabel", "color: rgb(162,162,162); background: transparent; font: 13px"},
    {"QMXLabel:disabled", "color: rgb(70,73,77)"},
    {"QMXLineEdit",
     "border: 1px solid rgb(103,111,116); border-radius: 2px; color: rgb(172,172,172); background: rgb(19,20,24)"},
    {"QMXLineEdit:hover", "border: 1px solid rgb(37,96,118)"},
    {"QMXLineEdit:focus", "border: 1px solid rgb(56,145,180); color: white; background: rgb(0,30,36)"},
    {"QMXLineEdit:disabled", "border: 1px solid rgb(45,47,49); color: rgb(70,73,77); background: rgb(28,29,30)"},
    {"QMXPushButton", "color: rgb(201,201,201); border-radius: 2px; background: rgb(57,62,66)"},
    {"QMXPushButton:hover", "color: white; background: rgb(106,114,119)"},
    {"QMXPushButton:pressed", "color: rgb(201,201,201); background: rgb(66,71,74)"},
    {"QMXPushButton:disabled", "color: rgb(70,73,77); background: rgb(28,29,30)"},
    {"QMXPushButton:checked", "color: white; background: rgb(106,114,119)"},
    {"QMXCheckBox", "color: rgb(201,201,201); background: transparent"},
    {"QMXCheckBox:disabled", "color: rgb(56,58,61)"},
    {"QMXCheckBox::indicator", "width: 18px; height: 18px"},
    {"QMXCheckBox::indicator:unchecked", "border-image: url(:/skin/ckb_unchecked.png) 0 78 0 0"},
    {"QMXCheckBox::indicator:unchecked:hover", "border-image: url(:/skin/ckb_unchecked.png) 0 52 0 26"},
    {"QMXCheckBox::indicator:unchecked:pressed", "border-image: url(:/skin/ckb_unchecked.png) 0 26 0 52"},
    {"QMXCheckBox::indicator:unchecked:disabled", "border-image: url(:/skin/ckb_unchecked.png) 0 0 0 78"},
    {"QMXCheckBox::indicator:checked", "border-image: url(:/skin/ckb_checked.png) 0 78 0 0"},
    {"QMXCheckBox::indicator:checked:hover", "border-image: url(:/skin/ckb_checked.png) 0 52 0 26"},
    {"QMXCheckBox::indicator:checked:pressed", "border-image: url(:/skin/ckb_checked.png) 0 26 0 52"},
    {"QMXCheckBox::indicator:checked:disabled", "border-image: url(:/skin/ckb_checked.png) 0 0 0 78"},
    {"QAbstractItemView::item", "height: 27px; padding: 3px 4px; border-radius: 4px"},
    {"QAbstractItemView::item:selected", "color: white"},
    {"QAbstractItemView::indicator", "width: 26px; height: 26px"},
    {"QAbstractItemView::indicator:unchecked", "border-image: url(:/skin/ckb_unchecked.png) 0 78 0 0"},
    {"QAbstractItemView::indicator:unchecked:hover", "border-image: url(:/skin/ckb_unchecked.png) 0 52 0 26"},
    {"QAbstractItemView::indicator:unchecked:pressed", "border-image: url(:/skin/ckb_unchecked.png) 0 26 0 52"},
    {"QAbstractItemView::indicator:unchecked:disabled", "border-image: url(:/skin/ckb_unchecked.png) 0 0 0 78"},
    {"QAbstractItemView::indicator:checked", "border-image: url(:/skin/ckb_checked.png) 0 78 0 0"},
    {"QAbstractItemView::indicator:checked:hover", "border-image: url(:/skin/ckb_checked.png) 0 52 0 26"},
    {"QAbstractItemView::indicator:checked:pressed", "border-image: url(:/skin/ckb_checked.png) 0 26 0 52"},
    {"QAbstractItemView::indicator:checked:disabled", "border-image: url(:/skin/ckb_checked.png) 0 0 0 78"},
    {"QTreeView::branch", "image: none"},
    {"QMXMenu", "border: 1px solid rgb(109,112,114); background: rgb(30,31,35); margin: 0px"},
    {"ButtonMenu", "border: 1px solid rgb(109,112,114); background: rgb(30,31,35); margin: 0px"},
    {"QMXMenu::item", "height: 26px; border-radius: 2px; color: rgb(193,193,193); padding: 0px 38px; margin: 1px"},
    {"QMXMenu::item:selected", "border: 1px solid rgb(56,145,180); background: rgb(0, 134, 156)"},
    {"QMXMenu::item:pressed", "background: rgb(0, 134, 156)"},
    {"QMXMenu::item:disabled", "color: #aaaaaa; background: rgb(57,57,57)"},
    {"QMXMenu::separator", "height: 1px; background: rgb(71,73,75)"},
    {"QMXMenu::indicator", "width: 18px; height: 18px; margin-left: 10px; margin-right: 10px"},
    {"QMXMenu::indicator:checked", "border-image: url(:/skin/menu_check.png) 0 22 0 0"},
    {"QMXMenu::indicator:checked:selected", "border-image: url(:/skin/menu_check.png) 0 0 0 22"},
    {"QHeaderView", "background: rgb(43, 44, 49)"},
    {"QHeaderView::section",
     "height: 32px; color: rgb(201,201,201); background: transparent; border: none; border-right: 1px solid "
     "rgb(78,83,90)"},
    {"QHeaderView[stretchLastSection=\"true\"]::section:last", "border: none"},
    {"QHeaderView::up-arrow", "image: url(:/skin/up_arrow.png)"},
    {"QHeaderView::down-arrow", "image: url(:/skin/down_arrow.png)"},
    {"HeaderButton", "border-image: url(:/skin/menu_indicator.png) 0 64 0 0"},
    {"HeaderButton:hover", "border-image: url(:/skin/menu_indicator.png) 0 32 0 32"},
    {"HeaderButton:pressed", "border-image: url(:/skin/menu_indicator.png) 0 0 0 64"},
    {"HeaderButton::menu-indicator", "image: none"},
    {"ToolButton",
     "color: rgb(232,232,232); border-radius: 2px; background: transparent; text-align: left; padding-left: 6px"},
    {"ToolButton:hover", "background: rgb(115,122,132)"},
    {"ToolButton:pressed", "background: rgb(66,71,74)"},
    {"ToolButton:disabled", "color: rgb(70,73,77); background: rgb(28,29,30)"},
    {"ToolButton::menu-indicator", "image: none"},
    {"QScrollBar:vertical",
     "width: 20px; background: rgb(25,26,30); border-left: 1px solid rgb(75,80,84); margin: 17px 0px 17px 0px"},
    {"QScrollBar::handle:vertical",
     "margin: 0px 1px; background: rgb(57,62,66); image: url(:/skin/scrollbar_v_handle_normal.png); min-height: 16px"},
    {"QScrollBar::handle:vertical:hover",
     "background: rgb(95,103,107); image: url(:/skin/scrollbar_v_handle_hover.png)"},
    {"QScrollBar::handle:vertical:pressed",
     "background: rgb(44,47,50); image: url(:/skin/scrollbar_v_handle_pressed.png)"},
    {"QScrollBar::sub-line:vertical", "border-image: url(:/skin/scrollbar_up_arrow.png) 0 36 0 0"},
    {"QScrollBar::sub-line:vertical:hover", "border-image: url(:/skin/scrollbar_up_arrow.png) 0 18 0 18"},
    {"QScrollBar::sub-line:vertical:pressed", "border-image: url(:/skin/scrollbar_up_arrow.png) 0 0 0 36"},
    {"QScrollBar::add-line:vertical", "border-image: url(:/skin/scrollbar_down_arrow.png) 0 36 0 0"},
    {"QScrollBar::add-line:vertical:hover", "border-image: url(:/skin/scrollbar_down_arrow.png) 0 18 0 18"},
    {"QScrollBar::add-line:vertical:pressed", "border-image: url(:/skin/scrollbar_down_arrow.png) 0 0 0 36"},
    {"QScrollBar:horizontal",
     "height: 20px; background: rgb(25,26,30); border-top: 1px solid rgb(75,80,84); margin: 0px 17px 0px 17px"},
    {"QScrollBar::handle:horizontal",
     "margin: 1px 0px; background: rgb(57,62,66); image: url(:/skin/scrollbar_h_handle_normal.png); min-width: 16px"},
    {"QScrollBar::handle:horizontal:hover",
     "background: rgb(95,103,107); image: url(:/skin/scrollbar_h_handle_hover.png)"},
    {"QScrollBar::handle:horizontal:pressed",
     "background: rgb(44,47,50); image: url(:/skin/scrollbar_h_handle_pressed.png)"},
    {"QScrollBar::sub-line:horizontal", "border-image: url(:/skin/scrollbar_left_arrow.png) 0 36 0 0"},
    {"QScrollBar::sub-line:horizontal:hover", "border-image: url(:/skin/scrollbar_left_arrow.png) 0 18 0 18"},
    {"QScrollBar::sub-line:horizontal:pressed", "border-image: url(:/skin/scrollbar_left_arrow.png) 0 0 0 36"},
    {"QScrollBar::add-line:horizontal", "border-image: url(:/skin/scrollbar_right_arrow.png) 0 36 0 0"},
    {"QScrollBar::add-line:horizontal:hover", "border-image: url(:/skin/scrollbar_right_arrow.png) 0 18 0 18"},
    {"QScrollBar::add-line:horizontal:pressed", "border-image: url(:/skin/scrollbar_right_arrow.png) 0 0 0 36"},
};

QByteArray readSheet()
{
    QFile file(QString::fromLatin1(kSheetPath));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll();
}

QString normalised(QString text)
{
    text.remove(QRegularExpression(QStringLiteral("\\s+")));
    return text.toLower();
}

// Selector -> declarations of every block that names it (comments dropped, whitespace removed,
// lower case), so a rule matches however it is spaced or grouped.
QMap<QString, QSet<QString>> parseRules(const QString& sheet)
{
    QString text = sheet;
    text.remove(QRegularExpression(QStringLiteral("/\\*.*?\\*/"), QRegularExpression::DotMatchesEverythingOption));
    static const QRegularExpression block(QStringLiteral("([^{}]+)\\{([^{}]*)\\}"));
    QMap<QString, QSet<QString>> rules;
    auto it = block.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        QSet<QString> declarations;
        for (const QString& declaration : match.captured(2).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString clean = normalised(declaration);
            if (!clean.isEmpty()) {
                declarations.insert(clean);
            }
        }
        for (const QString& selector : match.captured(1).split(QLatin1Char(','))) {
            rules[normalised(selector)].unite(declarations);
        }
    }
    return rules;
}

QStringList g_messages;

void collectMessages(QtMsgType, const QMessageLogContext&, const QString& message)
{
    g_messages << message;
}

QStringList styleSheetComplaints()
{
    QStringList complaints;
    for (const QString& message : g_messages) {
        if (message.contains(QLatin1String("parse"), Qt::CaseInsensitive) ||
            message.contains(QLatin1String("stylesheet"), Qt::CaseInsensitive)) {
            complaints << message;
        }
    }
    return complaints;
}

// One widget of each kind the sheet styles, shown and painted once, so every rule gets parsed
// and applied.
void exerciseWidgets()
{
    QWidget window;
    window.resize(600, 400);
    auto* label = new QLabel(QStringLiteral("Label"), &window);
    auto* edit = new QLineEdit(QStringLiteral("192.168.1.64"), &window);
    auto* button = new QPushButton(QStringLiteral("Save"), &window);
    button->setCheckable(true);
    button->setChecked(true);
    auto* check = new QCheckBox(QStringLiteral("Check"), &window);
    check->setChecked(true);
    auto* combo = new QComboBox(&window);
    combo->addItems({QStringLiteral("5 s"), QStringLiteral("10 s")});
    auto* spin = new QSpinBox(&window);
    auto* progress = new QProgressBar(&window);
    progress->setValue(40);
    auto* tree = new QTreeWidget(&window);
    tree->setColumnCount(3);
    tree->setSortingEnabled(true);
    for (int row = 0; row < 40; ++row) {
        auto* item = new QTreeWidgetItem(tree, {QString::number(row), QStringLiteral("IPC"), QStringLiteral("x")});
        item->setCheckState(0, row % 2 ? Qt::Checked : Qt::Unchecked);
    }
    tree->setGeometry(0, 100, 200, 150);
    edit->setEnabled(false);
    QMenu menu;
    menu.addAction(QStringLiteral("Refresh"))->setCheckable(true);
    menu.addSeparator();
    menu.addAction(QStringLiteral("Disabled"))->setEnabled(false);

    window.show();
    menu.popup(QPoint(10, 10));
    for (QWidget* widget : std::initializer_list<QWidget*>{&window, label, check, combo, spin, progress, tree, &menu}) {
        widget->grab();
    }
    menu.hide();
}
} // namespace

class StyleSheetTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void isUtf8WithCrlfLineEnds();
    void holdsTheRuleTheWindowsDependOn_data();
    void holdsTheRuleTheWindowsDependOn();
    void appliesWithoutParseWarnings();
    void brokenSheetIsReported();
    void sizesComeFromTheSheet();
    void lastHeaderSectionKeepsItsDividerOnlyWhenNotStretched_data();
    void lastHeaderSectionKeepsItsDividerOnlyWhenNotStretched();

private:
    QString m_sheet;
    QMap<QString, QSet<QString>> m_rules;
};

void StyleSheetTest::initTestCase()
{
    const QByteArray bytes = readSheet();
    QVERIFY2(!bytes.isEmpty(), kSheetPath);
    m_sheet = QString::fromUtf8(bytes);
    m_rules = parseRules(m_sheet);
}

void StyleSheetTest::isUtf8WithCrlfLineEnds()
{
    const QByteArray bytes = readSheet();
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(bytes);
    QVERIFY(!decoder.hasError());
    QVERIFY(!text.startsWith(QChar(0xfeff)));
    QVERIFY(bytes.endsWith("\r\n"));
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            QVERIFY2(i > 0 && bytes[i - 1] == '\r', qPrintable(QStringLiteral("bare LF at byte %1").arg(i)));
        } else if (bytes[i] == '\r') {
            QVERIFY2(i + 1 < bytes.size() && bytes[i + 1] == '\n',
                     qPrintable(QStringLiteral("bare CR at byte %1").arg(i)));
        }
    }
}

void StyleSheetTest::holdsTheRuleTheWindowsDependOn_data()
{
    QTest::addColumn<QString>("selector");
    QTest::addColumn<QString>("declaration");
    for (const auto& [selector, declarations] : kDependedRules) {
        for (const QString& declaration : QString::fromLatin1(declarations).split(QLatin1Char(';'))) {
            const QString trimmed = declaration.trimmed();
            QTest::addRow("%s { %s }", selector, qPrintable(trimmed)) << QString::fromLatin1(selector) << trimmed;
        }
    }
}

void StyleSheetTest::holdsTheRuleTheWindowsDependOn()
{
    QFETCH(QString, selector);
    QFETCH(QString, declaration);
    const QString key = normalised(selector);
    QVERIFY2(m_rules.contains(key), qPrintable(QStringLiteral("no rule for ") + selector));
    QVERIFY2(m_rules.value(key).contains(normalised(declaration)),
             qPrintable(selector + QStringLiteral(" lacks ") + declaration));
}

void StyleSheetTest::appliesWithoutParseWarnings()
{
    g_messages.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collectMessages);
    qApp->setStyleSheet(m_sheet);
    exerciseWidgets();
    qInstallMessageHandler(previous);
    qApp->setStyleSheet(QString());
    QVERIFY2(styleSheetComplaints().isEmpty(), qPrintable(styleSheetComplaints().join('\n')));
}

void StyleSheetTest::brokenSheetIsReported()
{
    // Proves the handler above would see a parse failure.
    g_messages.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collectMessages);
    qApp->setStyleSheet(QStringLiteral("QLabel { color: red; "));
    exerciseWidgets();
    qInstallMessageHandler(previous);
    qApp->setStyleSheet(QString());
    QVERIFY(!styleSheetComplaints().isEmpty());
}

void StyleSheetTest::sizesComeFromTheSheet()
{
    qApp->setStyleSheet(m_sheet);
    QScrollBar vertical(Qt::Vertical);
    QCOMPARE(vertical.sizeHint().width(), 20);
    QScrollBar horizontal(Qt::Horizontal);
    QCOMPARE(horizontal.sizeHint().height(), 20);
    QTreeWidget tree;
    tree.setHeaderLabels({QStringLiteral("No."), QStringLiteral("Type")});
    tree.show();
    QCOMPARE(tree.header()->height(), 32);
    qApp->setStyleSheet(QString());
}

void StyleSheetTest::lastHeaderSectionKeepsItsDividerOnlyWhenNotStretched_data()
{
    QTest::addColumn<bool>("stretch");
    QTest::addColumn<QColor>("edge");
    QTest::newRow("stretched") << true << QColor(43, 44, 49);
    QTest::newRow("fixed") << false << QColor(78, 83, 90);
}

void StyleSheetTest::lastHeaderSectionKeepsItsDividerOnlyWhenNotStretched()
{
    QFETCH(bool, stretch);
    QFETCH(QColor, edge);
    qApp->setStyleSheet(m_sheet);
    QTreeWidget tree;
    tree.setHeaderLabels({QStringLiteral("No."), QStringLiteral("Type")});
    // Set before the first polish, as the list does in its constructor.
    tree.header()->setStretchLastSection(stretch);
    tree.setColumnWidth(0, 60);
    tree.setColumnWidth(1, 60);
    tree.resize(300, 120);
    tree.show();
    QHeaderView* header = tree.header();
    const QImage image = header->grab().toImage();
    const int y = header->height() / 2;
    const int lastRight = header->sectionViewportPosition(1) + header->sectionSize(1) - 1;
    QCOMPARE(QColor(image.pixel(header->sectionSize(0) - 1, y)), QColor(78, 83, 90));
    QCOMPARE(QColor(image.pixel(lastRight, y)), edge);
    qApp->setStyleSheet(QString());
}

QTEST_MAIN(StyleSheetTest)
#include "StyleSheetTest.moc"
