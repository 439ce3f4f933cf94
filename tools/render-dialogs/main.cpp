#include "AboutDlg.h"
#include "ActivateDeviceDialog.h"
#include "AddrEditSheet.h"
#include "AppSetup.h"
#include "BaseDialog.h"
#include "ButtonMenu.h"
#include "ControlBarSheet.h"
#include "LanguageSrc.h"
#include "N12_MessageBox.h"
#include "QMXStyle.h"
#include "WidgetSheet.h"

#include <QActionGroup>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPainter>

#include <cstdio>

namespace {
struct Options
{
    QString outDir = QStringLiteral("/tmp/scanix-dialogs");
    QString appDir = QStringLiteral(SCANIX_APP_DIR);
    QList<int> languages{1033, 2052};
};

bool parse(const QStringList& args, Options& options)
{
    for (int i = 1; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if ((arg == QLatin1String("--out") || arg == QLatin1String("--app-dir")) && i + 1 < args.size()) {
            (arg == QLatin1String("--out") ? options.outDir : options.appDir) = args.at(++i);
        } else if (arg == QLatin1String("--lang") && i + 1 < args.size()) {
            bool ok = false;
            const int id = args.at(++i).toInt(&ok);
            if (!ok) {
                return false;
            }
            options.languages = {id};
        } else {
            return false;
        }
    }
    return true;
}

// The application's own look: the skin's sheet and the start-up font with its CJK substitute.
void applyLook(QApplication& app, int languageId)
{
    if (!AppSetup::installStyleSheet(app)) {
        std::fprintf(stderr, "warning: no style sheet in the bundle, rendering unstyled\n");
    }
    AppSetup::installApplicationFont(languageId);
}

bool save(QWidget& widget, const QString& path)
{
    widget.show();
    QApplication::processEvents();
    // Translucent windows grab with transparent corners; a mid-grey backdrop shows their outline.
    const QPixmap grabbed = widget.grab();
    QPixmap out(grabbed.size());
    out.fill(QColor(90, 90, 90));
    QPainter(&out).drawPixmap(0, 0, grabbed);
    widget.hide();
    if (!out.save(path)) {
        std::fprintf(stderr, "error: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

// Written also three times enlarged, since a one-pixel shift is what matters in these pictures.
bool saveImage(const QImage& image, const QString& path)
{
    QString zoomed = path;
    zoomed.replace(QLatin1String(".png"), QLatin1String("-x3.png"));
    if (!image.save(path) || !image.scaled(image.size() * 3).save(zoomed)) {
        std::fprintf(stderr, "error: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n%s\n", qPrintable(path), qPrintable(zoomed));
    return true;
}

struct BoxCase
{
    const char* name;
    const char* textKey;
    int buttons;
    int kind;
};

const BoxCase kBoxes[] = {
    {"warning", "IDCS_PROMPT_IPADDRESS_INVALID", N12_MessageBox::Ok, N12_MessageBox::Warning},
    {"error", "IDCS_IDCS_CHANGE_NETWORK_PARAM_ERROR", N12_MessageBox::Ok, N12_MessageBox::Error},
    {"information", "IDCS_IDCS_CHANGE_NETWORK_PARAM_SUCCESS", N12_MessageBox::Ok, N12_MessageBox::Information},
    {"question-okcancel",
     "IDCS_RESTORE_DEVICE_PASSWORD_INFO",
     N12_MessageBox::Ok | N12_MessageBox::Cancel,
     N12_MessageBox::Question},
    {"question-all",
     "IDCS_ERROR_DIFFERENT_SEGMENT",
     N12_MessageBox::AllYes | N12_MessageBox::AllNot | N12_MessageBox::Yes | N12_MessageBox::No,
     N12_MessageBox::Question},
    {"no-kind", "IDCS_PROMPT_DEVICE_NOT_EXIST", N12_MessageBox::Ok, 0},
    {"long-text", "IDCS_CHANGE_NETWORK_PARAM_INFO", N12_MessageBox::Ok, N12_MessageBox::Information},
};

struct ActionBox
{
    const char* textKey;
    int kind;
};

const ActionBox kActionBoxes[] = {
    {"IDCS_IDCS_CHANGE_NETWORK_PARAM_SUCCESS", N12_MessageBox::Information},
    {"IDCS_ERROR_IP_MASK_ALL1", N12_MessageBox::Error},
    {"IDCS_ERROR_IP_MASK_ALL0", N12_MessageBox::Error},
    {"IDCS_ERROR_USE_LOOPBACK", N12_MessageBox::Error},
    {"IDCS_ERROR_IP_ROUTE_INVALID", N12_MessageBox::Error},
    {"IDCS_ERROR_MASK_NOT_CONTINE", N12_MessageBox::Error},
    {"IDCS_ERROR_DIFFERENT_SEGMENT", N12_MessageBox::Error},
    {"IDCS_ERROR_ROUTE_MASK_ALL1", N12_MessageBox::Error},
    {"IDCS_ERROR_ROUTE_MASK_ALL0", N12_MessageBox::Error},
    {"IDCS_IDCS_CHANGE_NETWORK_PARAM_ERROR", N12_MessageBox::Error},
    {"IDCS_PROMPT_DEVICE_NOT_EXIST", N12_MessageBox::Error},
    {"IDCS_PROMPT_DEVICE_NOT_SUPPORT", N12_MessageBox::Error},
    {"IDCS_RESTORE_DEVICE_PASSWORD_SUCCESS", N12_MessageBox::Information},
    {"IDCS_RESTORE_DEVICE_PASSWORD_ERROR", N12_MessageBox::Error},
    {"IDCS_NETWORK_PARAM_EMPTY", N12_MessageBox::Warning},
    {"IDCS_MAC_ADDRESS_EMPTY_ERROR", N12_MessageBox::Warning},
    {"IDCS_PROMPT_SUBNET_MASK_INVALID", N12_MessageBox::Error},
    {"IDCS_RESTORE_PRESS_RESET_BUTTON", N12_MessageBox::Error},
    {"IDCS_ACTIVATE_SUCCESS", N12_MessageBox::Information},
    {"IDCS_ACTIVATE_FAILED", N12_MessageBox::Error},
};

bool renderLanguage(QApplication& app, const Options& options, int languageId)
{
    g_languageId = languageId;
    loadLanguage(options.appDir, languageId);
    if (getText("IDCS_OK").isEmpty()) {
        std::fprintf(stderr, "error: no language files under %s/language\n", qPrintable(options.appDir));
        releaseLanguage();
        return false;
    }
    applyLook(app, languageId);
    const QString prefix = QStringLiteral("%1/%2-").arg(options.outDir).arg(languageId);
    bool ok = true;
    for (const BoxCase& box : kBoxes) {
        N12_MessageBox dialog(getText(box.textKey), box.buttons, box.kind);
        ok = save(dialog, prefix + QStringLiteral("messagebox-%1.png").arg(QString::fromLatin1(box.name))) && ok;
    }
    AboutDlg about;
    ok = save(about, prefix + QStringLiteral("about.png")) && ok;
    // The activation dialog as it opens, and after OK with two passwords that differ.
    ActivateDeviceDialog activate(QStringLiteral("IPC-1"), QStringLiteral("02:5C:01:00:00:05"));
    ok = save(activate, prefix + QStringLiteral("activate.png")) && ok;
    for (QLineEdit* edit : activate.findChildren<QLineEdit*>()) {
        edit->setText(edit->objectName() == QLatin1String("activateNewPassword") ? QStringLiteral("N3w-Secret!x")
                                                                                 : QStringLiteral("other"));
    }
    activate.slot_accept();
    ok = save(activate, prefix + QStringLiteral("activate-differ.png")) && ok;
    BaseDialog frame(nullptr, Qt::FramelessWindowHint);
    frame.resize(420, 260);
    ok = save(frame, prefix + QStringLiteral("basedialog.png")) && ok;
    // The refresh menu as the split button pops it: checkable entries in one exclusive group.
    ButtonMenu menu;
    QActionGroup group(&menu);
    for (const char* key :
         {"IDCS_MANUAL_REFRESH", "IDCS_AUTO_REFRESH_BY_5S", "IDCS_AUTO_REFRESH_BY_10S", "IDCS_AUTO_REFRESH_BY_15S"}) {
        QAction* action = menu.addAction(getText(key));
        action->setCheckable(true);
        group.addAction(action);
    }
    menu.actions().at(1)->setChecked(true);
    menu.addSeparator();
    menu.addAction(getText("IDCS_REFRESH_DISABLE"))->setEnabled(false);
    menu.setActiveAction(menu.actions().at(2));
    menu.adjustSize();
    ok = save(menu, prefix + QStringLiteral("menu.png")) && ok;
    WidgetSheet sheet;
    sheet.show();
    sheet.hoverRow(3);
    ok = save(sheet, prefix + QStringLiteral("widgets.png")) && ok;
    sheet.hide();
    ok = saveImage(renderAddrEditSheet(), prefix + QStringLiteral("addredits.png")) && ok;
    ok = saveImage(renderControlBarSheet(), prefix + QStringLiteral("controlbar.png")) && ok;
    // Every box the device actions and the control bar's checks can show.
    for (const ActionBox& box : kActionBoxes) {
        N12_MessageBox dialog(getText(box.textKey), N12_MessageBox::Ok, box.kind);
        ok = save(dialog, prefix + QStringLiteral("action-%1.png").arg(QString::fromLatin1(box.textKey))) && ok;
    }
    releaseLanguage();
    return ok;
}
} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    Options options;
    if (!parse(app.arguments(), options)) {
        std::fprintf(stderr, "usage: scanix-render-dialogs [--out DIR] [--app-dir DIR] [--lang ID]\n");
        return 2;
    }
    if (!QDir().mkpath(options.outDir)) {
        std::fprintf(stderr, "error: cannot create %s\n", qPrintable(options.outDir));
        return 1;
    }
    QApplication::setStyle(new QMXStyle);
    bool ok = true;
    for (int id : options.languages) {
        ok = renderLanguage(app, options, id) && ok;
    }
    return ok ? 0 : 1;
}
