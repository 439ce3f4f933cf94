#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

// Images of the skin with their pixel size and how many equal states lie side by side.
struct SkinImage
{
    const char* name;
    int width;
    int height;
    int states;
};

// Images the program's code and the style sheet load.
const SkinImage kImages[] = {
    {"top_mid.png", 7, 2, 1},
    {"bottom_mid.png", 7, 2, 1},
    {"left_mid.png", 2, 7, 1},
    {"right_mid.png", 2, 8, 1},
    {"left_top.png", 7, 7, 1},
    {"right_top.png", 7, 7, 1},
    {"left_bottom.png", 3, 3, 1},
    {"right_bottom.png", 3, 3, 1},
    {"close.png", 66, 22, 3},
    {"min.png", 66, 22, 3},
    {"max.png", 66, 22, 3},
    {"normal.png", 66, 22, 3},
    {"Warning.png", 120, 120, 1},
    {"Error.png", 120, 120, 1},
    {"Information.png", 120, 120, 1},
    {"Question.png", 120, 120, 1},
    {"tree_selected_l.png", 14, 36, 1},
    {"tree_selected_m.png", 14, 36, 1},
    {"tree_selected_r.png", 14, 36, 1},
    {"tree_selected_!active_l.png", 14, 36, 1},
    {"tree_selected_!active_m.png", 14, 36, 1},
    {"tree_selected_!active_r.png", 14, 36, 1},
    {"tree_hover_l.png", 14, 36, 1},
    {"tree_hover_m.png", 14, 36, 1},
    {"tree_hover_r.png", 14, 36, 1},
    {"expand.png", 33, 8, 3},
    {"collapse.png", 33, 8, 3},
    {"info.png", 26, 26, 1},
    {"divide_open.png", 18, 18, 1},
    {"divide_close.png", 18, 18, 1},
    {"ZEB31_logo.png", 7016, 2021, 1},
    {"scanix.png", 106, 106, 1},
    {"combox_arrow.png", 69, 23, 3},
    {"ckb_checked.png", 104, 26, 4},
    {"ckb_unchecked.png", 104, 26, 4},
    {"menu_indicator.png", 96, 33, 3},
    {"menu_check.png", 44, 20, 2},
    {"up_arrow.png", 12, 15, 1},
    {"down_arrow.png", 12, 15, 1},
    {"scrollbar_up_arrow.png", 54, 18, 3},
    {"scrollbar_down_arrow.png", 54, 18, 3},
    {"scrollbar_left_arrow.png", 54, 18, 3},
    {"scrollbar_right_arrow.png", 54, 18, 3},
    {"scrollbar_h_handle_normal.png", 20, 18, 1},
    {"scrollbar_h_handle_hover.png", 20, 18, 1},
    {"scrollbar_h_handle_pressed.png", 20, 18, 1},
    {"scrollbar_v_handle_normal.png", 18, 20, 1},
    {"scrollbar_v_handle_hover.png", 18, 20, 1},
    {"scrollbar_v_handle_pressed.png", 18, 20, 1},
    {"Logo0.png", 230, 50, 1},
};

const SkinImage* findImage(const QString& name)
{
    for (const SkinImage& image : kImages) {
        if (name == QLatin1String(image.name)) {
            return &image;
        }
    }
    return nullptr;
}

// One match of a pattern in the program's sources, with "file:line" for the failure message.
struct SourceHit
{
    QString where;
    QRegularExpressionMatch match;
};

// Searches the folders that hold the program's code and the style sheet. Reading the tree at
// test time means new code is checked without rebuilding this test.
QVector<SourceHit> scanSources(const QRegularExpression& pattern)
{
    const QString root = QStringLiteral(SCANIX_SOURCE_DIR);
    const QStringList folders = {"app", "language", "ui", "engine", "skin/qss"};
    const QStringList patterns = {"*.cpp", "*.h", "*.css", "*.qss"};
    QVector<SourceHit> hits;
    for (const QString& folder : folders) {
        QDirIterator it(root + QLatin1Char('/') + folder, patterns, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            QFile source(file);
            if (!source.open(QIODevice::ReadOnly)) {
                // Reported by the callers as a hit without a match.
                hits.append({file + QStringLiteral(": unreadable"), {}});
                continue;
            }
            const QString text = QString::fromUtf8(source.readAll());
            auto match = pattern.globalMatch(text);
            while (match.hasNext()) {
                const QRegularExpressionMatch hit = match.next();
                const qsizetype line = text.left(hit.capturedStart()).count(QLatin1Char('\n')) + 1;
                hits.append({QStringLiteral("%1:%2").arg(file.mid(root.size() + 1)).arg(line), hit});
            }
        }
    }
    return hits;
}

class SkinBundleTest : public QObject
{
    Q_OBJECT

private slots:
    void imageHasItsSize_data();
    void imageHasItsSize();
    void bundleHoldsSixtyNineImages();
    void everySkinPathInTheSourcesResolves();
    void everyStateSliceShowsOneWholeState();
    void logoStaysSmall();
};

void SkinBundleTest::imageHasItsSize_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("states");
    for (const SkinImage& image : kImages) {
        QTest::newRow(image.name) << QStringLiteral(":/skin/%1").arg(QLatin1String(image.name))
                                  << QSize(image.width, image.height) << image.states;
    }
}

void SkinBundleTest::imageHasItsSize()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);
    QFETCH(int, states);

    QImageReader reader(path);
    QCOMPARE(reader.format(), QByteArray("png"));
    QCOMPARE(reader.size(), size);
    const QImage image = reader.read();
    QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(image.size(), size);
    QCOMPARE(image.width() % states, 0);

    // A state strip whose states look alike would make hover or pressed invisible.
    const int cell = image.width() / states;
    for (int a = 0; a < states; ++a) {
        for (int b = a + 1; b < states; ++b) {
            const QImage first = image.copy(a * cell, 0, cell, image.height());
            const QImage second = image.copy(b * cell, 0, cell, image.height());
            QVERIFY2(first != second, qPrintable(QStringLiteral("states %1 and %2 are identical").arg(a).arg(b)));
        }
    }
    // Nothing in the skin is entirely transparent.
    bool painted = false;
    for (int y = 0; y < image.height() && !painted; y += std::max(1, image.height() / 64)) {
        for (int x = 0; x < image.width() && !painted; ++x) {
            painted = qAlpha(image.pixel(x, y)) > 0;
        }
    }
    QVERIFY(painted);
}

void SkinBundleTest::bundleHoldsSixtyNineImages()
{
    QStringList images;
    QDirIterator it(QStringLiteral(":/skin"), {QStringLiteral("*.png")}, QDir::Files);
    while (it.hasNext()) {
        images << it.next();
    }
    QCOMPARE(images.size(), 69);
    QVERIFY(QFile::exists(QStringLiteral(":/skin/qss/stylesheet.css")));
}

void SkinBundleTest::everySkinPathInTheSourcesResolves()
{
    // Any literal resource path in the program's sources or the style sheet must exist in the
    // bundle; a typo there shows no image and no error at run time. Templates ("%1") are
    // filled in at run time and checked through the image table above.
    static const QRegularExpression skinPath(QStringLiteral(":/skin/([^\"'()\\s;,]*)"));
    QStringList missing;
    int found = 0;
    for (const SourceHit& hit : scanSources(skinPath)) {
        if (!hit.match.hasMatch()) {
            missing << hit.where;
            continue;
        }
        const QString name = hit.match.captured(1);
        if (name.isEmpty() || name.contains(QLatin1Char('%'))) {
            continue;
        }
        ++found;
        if (!QFile::exists(QStringLiteral(":/skin/") + name)) {
            missing << hit.where + QStringLiteral(": :/skin/") + name;
        }
    }
    // The style sheet alone names dozens of images; finding none means the scan is broken.
    QVERIFY2(found > 20, qPrintable(QStringLiteral("only %1 skin paths found").arg(found)));
    QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("not in the bundle:\n") + missing.join('\n')));
}

void SkinBundleTest::everyStateSliceShowsOneWholeState()
{
    // A border-image slice on a state strip must cut away every state but one; a slice that
    // was written for another strip width shows half a state or two at once.
    static const QRegularExpression slice(
        QStringLiteral("url\\(\\s*:/skin/([^)%\\s]+)\\s*\\)\\s*(\\d+)\\s+(\\d+)\\s+(\\d+)\\s+(\\d+)"));
    QStringList wrong;
    int checked = 0;
    for (const SourceHit& hit : scanSources(slice)) {
        if (!hit.match.hasMatch()) {
            wrong << hit.where;
            continue;
        }
        const SkinImage* image = findImage(hit.match.captured(1));
        if (image == nullptr || image->states == 1) {
            continue;
        }
        ++checked;
        const int cell = image->width / image->states;
        const int top = hit.match.captured(2).toInt();
        const int right = hit.match.captured(3).toInt();
        const int bottom = hit.match.captured(4).toInt();
        const int left = hit.match.captured(5).toInt();
        const bool whole =
            top == 0 && bottom == 0 && left % cell == 0 && right % cell == 0 && image->width - left - right == cell;
        if (!whole) {
            wrong << hit.where + QStringLiteral(": ") + hit.match.captured(0);
        }
    }
    QVERIFY2(checked > 20, qPrintable(QStringLiteral("only %1 slices found").arg(checked)));
    QVERIFY2(wrong.isEmpty(), qPrintable(QStringLiteral("slices that do not show one state:\n") + wrong.join('\n')));
}

void SkinBundleTest::logoStaysSmall()
{
    // The window logo is drawn at a huge size; it must stay cheap to carry and to load.
    QFile logo(QStringLiteral(":/skin/ZEB31_logo.png"));
    QVERIFY(logo.open(QIODevice::ReadOnly));
    QVERIFY2(logo.size() < 200 * 1024, qPrintable(QString::number(logo.size())));
}

QTEST_MAIN(SkinBundleTest)
#include "SkinBundleTest.moc"
