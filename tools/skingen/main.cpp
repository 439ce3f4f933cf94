// Draws every image of the skin into the skin folder, and the desktop's application icon. Run it again after changing
// the artwork; the output is committed, so a normal build never needs this tool.
#include "Art.h"
#include "Palette.h"
#include "Quantise.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageWriter>

#include <cstdio>
#include <functional>
#include <vector>

namespace {
struct Output
{
    QString name;
    QSize size;
    std::function<QImage()> draw;
};

// Brand-suffixed copies of the title-bar, row and small-logo images travel with the skin for
// rebranded builds; nothing in the program loads them.
const QString kBrand = QStringLiteral("_ZEB31");

std::vector<Output> outputs()
{
    std::vector<Output> list;
    auto add = [&](const QString& name, QSize size, std::function<QImage()> draw) {
        list.push_back({name, size, std::move(draw)});
    };

    add("top_mid.png", {7, 2}, [] { return Art::borderEdge("top_mid"); });
    add("bottom_mid.png", {7, 2}, [] { return Art::borderEdge("bottom_mid"); });
    add("left_mid.png", {2, 7}, [] { return Art::borderEdge("left_mid"); });
    add("right_mid.png", {2, 8}, [] { return Art::borderEdge("right_mid"); });
    add("left_top.png", {7, 7}, [] { return Art::borderEdge("left_top"); });
    add("right_top.png", {7, 7}, [] { return Art::borderEdge("right_top"); });
    add("left_bottom.png", {3, 3}, [] { return Art::borderEdge("left_bottom"); });
    add("right_bottom.png", {3, 3}, [] { return Art::borderEdge("right_bottom"); });

    const char* titleButtons[] = {"close", "min", "max", "normal"};
    for (const char* button : titleButtons) {
        add(QString("%1.png").arg(button), {66, 22}, [button] { return Art::titleButton(button); });
    }
    const char* icons[] = {"Warning", "Error", "Information", "Question"};
    for (const char* icon : icons) {
        add(QString("%1.png").arg(icon), {120, 120}, [icon] { return Art::messageIcon(icon); });
    }

    const std::pair<const char*, const char*> rows[] = {
        {"tree_selected_", "selected"}, {"tree_selected_!active_", "inactive"}, {"tree_hover_", "hover"}};
    for (const auto& [prefix, kind] : rows) {
        for (char piece : {'l', 'm', 'r'}) {
            const QString name = QString("%1%2.png").arg(prefix).arg(piece);
            add(name, {14, 36}, [kind = kind, piece] { return Art::rowPiece(kind, piece); });
        }
    }

    add("expand.png", {33, 8}, [] { return Art::sectionArrow(true); });
    add("collapse.png", {33, 8}, [] { return Art::sectionArrow(false); });
    add("info.png", {26, 26}, [] { return Art::infoBadge(); });
    add("divide_open.png", {18, 18}, [] { return Art::divideToggle(true); });
    add("divide_close.png", {18, 18}, [] { return Art::divideToggle(false); });
    add("ZEB31_logo.png", {7016, 2021}, [] {
        return quantiseFlat(Art::logo(7016, 2021), {QColor(232, 236, 240), Palette::accentBright});
    });
    add("scanix.png", {106, 106}, [] { return Art::emblem(106); });
    add("combox_arrow.png", {69, 23}, [] { return Art::comboArrow(); });

    add("ckb_checked.png", {104, 26}, [] { return Art::checkBox(true); });
    add("ckb_unchecked.png", {104, 26}, [] { return Art::checkBox(false); });
    add("menu_indicator.png", {96, 33}, [] { return Art::headerMenuIndicator(); });
    add("menu_check.png", {44, 20}, [] { return Art::menuCheck(); });
    add("up_arrow.png", {12, 15}, [] { return Art::sortArrow(true); });
    add("down_arrow.png", {12, 15}, [] { return Art::sortArrow(false); });
    const std::pair<const char*, Qt::ArrowType> arrows[] = {
        {"up", Qt::UpArrow}, {"down", Qt::DownArrow}, {"left", Qt::LeftArrow}, {"right", Qt::RightArrow}};
    for (const auto& [name, direction] : arrows) {
        add(QString("scrollbar_%1_arrow.png").arg(name), {54, 18}, [direction = direction] {
            return Art::scrollArrow(direction);
        });
    }
    const char* handleStates[] = {"normal", "hover", "pressed"};
    for (int state = 0; state < 3; ++state) {
        add(QString("scrollbar_h_handle_%1.png").arg(handleStates[state]), {20, 18}, [state] {
            return Art::scrollHandle(true, state);
        });
        add(QString("scrollbar_v_handle_%1.png").arg(handleStates[state]), {18, 20}, [state] {
            return Art::scrollHandle(false, state);
        });
    }

    add("Logo0.png", {230, 50}, [] { return Art::logo(230, 50); });

    // Brand copies (see kBrand).
    std::vector<Output> copies;
    for (const Output& output : list) {
        const QString base = QFileInfo(output.name).completeBaseName();
        const bool branded = base.startsWith("tree_") || base == "Logo0" || base == "close" || base == "min" ||
                             base == "max" || base == "normal";
        if (branded) {
            copies.push_back({base + kBrand + ".png", output.size, output.draw});
        }
    }
    list.insert(list.end(), copies.begin(), copies.end());

    // Window icons of the product emblem.
    for (int size : {16, 32, 48, 64, 256}) {
        add(QString("scanix_%1.png").arg(size), {size, size}, [size] { return Art::emblem(size); });
    }
    return list;
}

// The desktop's application icon, at the sizes of the icon theme it is installed into.
std::vector<Output> appIcons()
{
    std::vector<Output> list;
    for (int size : {48, 128, 256}) {
        list.push_back({QString("scanix_%1.png").arg(size), {size, size}, [size] { return Art::appIcon(size); }});
    }
    return list;
}

bool write(const QDir& dir, const Output& output)
{
    const QImage image = output.draw();
    if (image.size() != output.size) {
        std::fprintf(stderr,
                     "%s: drew %dx%d, expected %dx%d\n",
                     qPrintable(output.name),
                     image.width(),
                     image.height(),
                     output.size.width(),
                     output.size.height());
        return false;
    }
    QImageWriter writer(dir.filePath(output.name), "png");
    // Highest zlib level: the files are written once and loaded on every start.
    writer.setQuality(0);
    if (!writer.write(image)) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(output.name), qPrintable(writer.errorString()));
        return false;
    }
    return true;
}

// Draws one set of images into a folder, made if missing.
bool writeAll(const QString& target, const std::vector<Output>& list)
{
    QDir dir(target);
    if (!dir.exists() && !QDir().mkpath(target)) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(target));
        return false;
    }
    for (const Output& output : list) {
        if (!write(dir, output)) {
            return false;
        }
    }
    std::printf("%zu images written to %s\n", list.size(), qPrintable(dir.absolutePath()));
    return true;
}
} // namespace

// Usage: scanix-skingen [skin-folder [icon-folder]]; the defaults are the source tree's.
int main(int argc, char* argv[])
{
    // Offscreen: the tool only paints into images and must run without a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString skinDir = args.size() > 1 ? args.at(1) : QStringLiteral(SCANIX_SKIN_DIR);
    const QString iconDir = args.size() > 2 ? args.at(2) : QStringLiteral(SCANIX_ICON_DIR);
    return writeAll(skinDir, outputs()) && writeAll(iconDir, appIcons()) ? 0 : 1;
}
