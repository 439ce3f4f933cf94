// The device actions end to end, as a user does them: the real window with the real search
// library, against the simulator's devices in a private network. Rows are clicked, the
// control bar's fields typed into, its buttons pressed; every outcome is one message box.

#include "ActivateDeviceDialog.h"
#include "DeviceControlBar.h"
#include "DeviceRowInfo.h"
#include "LanguageSrc.h"
#include "MainWindow.h"
#include "MessageBoxRecorder.h"
#include "PrivateNetwork.h"
#include "VistaTreeWidget.h"
#include "WidgetTestSupport.h"

#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidgetItem>

#include <cstdio>
#include <cstdlib>
#include <httplib.h>
#include <memory>

#include <gtest/gtest.h>

// Readable failures: the texts, not their bytes.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& texts, std::ostream* out)
{
    *out << '[' << texts.join(QStringLiteral(" | ")).toStdString() << ']';
}
QT_END_NAMESPACE

using namespace scanix::test;

namespace {

// Seed 1 from 10.0.0.64: index 0 and 7 are cameras, 1 a recorder, 4 a decoder on HTTPS 8080.
const std::string kCamera = SimMac(1, 0);
const std::string kRecorder = SimMac(1, 1);
const std::string kDecoder = SimMac(1, 4);
const std::string kSecondCamera = SimMac(1, 7);

// The hardware address of a namespace's eth0, upper case.
QString interfaceMac(const std::string& ns)
{
    const std::string command = "ip netns exec " + ns + " cat /sys/class/net/eth0/address";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return QString();
    }
    char line[64] = {};
    const bool read = fgets(line, sizeof line, pipe) != nullptr;
    pclose(pipe);
    return read ? QString::fromLatin1(line).trimmed().toUpper() : QString();
}

QString translatedBox(const char* title, const char* key)
{
    return getText(title) + QLatin1Char('|') + getText(key);
}

class DeviceActionsNet : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!PrivateNamespaceProblem().empty()) {
            GTEST_SKIP() << "end-to-end test skipped: " << PrivateNamespaceProblem();
        }
        m_net = std::make_unique<TestNetwork>();
        ASSERT_TRUE(m_net->Ok());
        // The devices live in the searcher's own subnet, with room for the addresses they move to.
        const std::string lan1 = m_net->Namespace("lan1");
        for (int i = 0; i < 12; ++i) {
            const std::string add = "ip -n " + lan1 + " addr add 10.0.0." + std::to_string(64 + i) + "/24 dev eth0";
            ASSERT_EQ(std::system(add.c_str()), 0);
        }
        ASSERT_TRUE(m_net->EnterPc());
        m_sim = std::make_unique<Simulator>(
            lan1,
            std::vector<std::string>{
                "--max-delay", "50", "--count", "8", "--seed", "1", "--first-ip", "10.0.0.64", "--http", "--log", "-"});
        ASSERT_TRUE(m_sim->Ready());

        ASSERT_TRUE(m_launcherDir.isValid());
        m_window = std::make_unique<MainWindow>();
        m_window->searchManage().SetLauncherDirectory(m_launcherDir.path().toStdString());
        m_window->resize(1200, 760);
        m_window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_window.get()));
        m_list = m_window->findChild<VistaTreeWidget*>();
        ASSERT_NE(m_list, nullptr);
        ASSERT_TRUE(QTest::qWaitFor([this] { return m_list->topLevelItemCount() == 8; }, 8000))
            << m_list->topLevelItemCount() << " rows";
    }

    void TearDown() override
    {
        m_window.reset();
        m_sim.reset();
        m_net.reset();
    }

    QTreeWidgetItem* row(const std::string& mac) const
    {
        for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
            const DeviceRowInfo* record = MainWindow::recordOf(m_list->topLevelItem(i));
            if (record != nullptr && record->mac == QString::fromStdString(mac)) {
                return m_list->topLevelItem(i);
            }
        }
        return nullptr;
    }

    QString shownIp(const std::string& mac) const
    {
        const QTreeWidgetItem* item = row(mac);
        const DeviceRowInfo* record = item != nullptr ? MainWindow::recordOf(item) : nullptr;
        return record != nullptr ? record->ipAddress : QString();
    }

    // Where a click lands on the row: away from the window's edges, where presses resize it.
    QPoint pointOn(const std::string& mac) const
    {
        const QRect cell = m_list->visualItemRect(row(mac));
        return {m_list->viewport()->width() / 3, cell.center().y()};
    }

    void select(const std::string& mac)
    {
        ASSERT_NE(row(mac), nullptr);
        m_list->scrollToItem(row(mac));
        QTest::mouseClick(m_list->viewport(), Qt::LeftButton, Qt::NoModifier, pointOn(mac));
        ASSERT_EQ(m_list->currentItem(), row(mac));
    }

    template <class T = QWidget> T* child(const char* name) const
    {
        // The bar's own widgets first: the filter forms of the list header reuse names such as "ok".
        const QString objectName = QString::fromLatin1(name);
        if (T* inBar = m_window->findChild<DeviceControlBar*>()->findChild<T*>(objectName)) {
            return inBar;
        }
        return m_window->findChild<T*>(objectName);
    }

    // Types an address into a segmented editor, one field after the other.
    void type(const char* editor, const QString& address, QChar separator)
    {
        const QList<QLineEdit*> fields = child(editor)->findChildren<QLineEdit*>();
        const QStringList parts = address.split(separator);
        ASSERT_EQ(fields.size(), parts.size());
        for (int i = 0; i < parts.size(); ++i) {
            fields[i]->clear();
            QTest::keyClicks(fields[i], parts[i]);
        }
    }

    void click(const char* name)
    {
        QTest::mouseClick(child(name), Qt::LeftButton);
    }

    // The boxes once the request in flight has ended and at least count of them came.
    QStringList settled(const MessageBoxRecorder& boxes, int count) const
    {
        static_cast<void>(
            QTest::qWaitFor([&] { return !m_window->requestRunning() && boxes.boxes().size() >= count; }, 12000));
        return boxes.boxes();
    }

    QString macShown() const
    {
        return child<QWidget>("mac")->findChildren<QLineEdit*>().first()->text();
    }

    QString openedUrl() const
    {
        QFile file(m_launcherDir.filePath(QStringLiteral("opened.txt")));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed() : QString();
    }

    std::unique_ptr<TestNetwork> m_net;
    std::unique_ptr<Simulator> m_sim;
    QTemporaryDir m_launcherDir;
    std::unique_ptr<MainWindow> m_window;
    VistaTreeWidget* m_list = nullptr;
};

} // namespace

TEST_F(DeviceActionsNet, ChangesACamerasAddressThroughTheForm)
{
    select(kCamera);
    EXPECT_EQ(child<QWidget>("mac")->findChildren<QLineEdit*>().first()->text(), "02");
    type("ip", "10.0.0.72", '.');
    child<QLineEdit>("password")->setText("Admin123");
    MessageBoxRecorder boxes;
    click("save");
    EXPECT_EQ(settled(boxes, 1),
              QStringList{translatedBox("IDCS_INFORMATION", "IDCS_IDCS_CHANGE_NETWORK_PARAM_SUCCESS")});
    // The row follows the device's own "changed" report.
    EXPECT_TRUE(QTest::qWaitFor([&] { return shownIp(kCamera) == "10.0.0.72"; }, 5000))
        << shownIp(kCamera).toStdString();

    // A wrong password: the device refuses, the box says so and nothing changes.
    boxes.clear();
    select(kSecondCamera);
    type("ip", "10.0.0.73", '.');
    child<QLineEdit>("password")->setText("wrong");
    click("save");
    EXPECT_EQ(settled(boxes, 1), QStringList{translatedBox("IDCS_ERROR", "IDCS_IDCS_CHANGE_NETWORK_PARAM_ERROR")});
    QTest::qWait(300); // a change report, were one to come, arrives within the simulator's answer delay
    EXPECT_EQ(shownIp(kSecondCamera), "10.0.0.71");
}

TEST_F(DeviceActionsNet, RestoresACamerasPasswordAndOpensDevicePages)
{
    click("restoreHeader");
    MessageBoxRecorder boxes;
    // The device restores only within minutes of a press of its reset button.
    // The device is named before anything is sent.
    const DeviceRowInfo* camera = MainWindow::recordOf(row(kCamera));
    ASSERT_NE(camera, nullptr);
    const QString question =
        getText("IDCS_QUESTION") + QLatin1Char('|') +
        getText("IDCS_RESTORE_PASSWORD_CONFIRM").arg(camera->name, camera->model, QStringLiteral("10.0.0.64"));
    type("restoreMac", QString::fromStdString(kCamera).toLower(), ':');
    click("ok");
    EXPECT_EQ(settled(boxes, 2),
              (QStringList{question, translatedBox("IDCS_ERROR", "IDCS_RESTORE_PRESS_RESET_BUTTON")}));
    boxes.clear();
    ASSERT_TRUE(m_sim->Command("button " + kCamera));
    type("restoreMac", QString::fromStdString(kCamera).toLower(), ':');
    click("ok");
    EXPECT_EQ(settled(boxes, 2),
              (QStringList{question, translatedBox("IDCS_INFORMATION", "IDCS_RESTORE_DEVICE_PASSWORD_SUCCESS")}));
    EXPECT_EQ(child<QWidget>("restoreMac")->findChildren<QLineEdit*>().first()->text(), "");

    boxes.clear();
    type("restoreMac", QString::fromStdString(kRecorder), ':');
    click("ok");
    EXPECT_EQ(settled(boxes, 1), QStringList{translatedBox("IDCS_ERROR", "IDCS_PROMPT_DEVICE_NOT_SUPPORT")});

    // A MAC cut short is said to be incomplete, not unknown.
    boxes.clear();
    type("restoreMac", QString::fromStdString(kRecorder).left(14) + ":", ':');
    click("ok");
    EXPECT_EQ(settled(boxes, 1), QStringList{translatedBox("IDCS_ERROR", "IDCS_MAC_ADDRESS_INCOMPLETE")});

    // The launcher template writes the URL it is given instead of starting a browser.
    QFile launcher(m_launcherDir.filePath(QStringLiteral("OpenURLWithAdminSrc.txt")));
    ASSERT_TRUE(launcher.open(QIODevice::WriteOnly));
    launcher.write(QStringLiteral("echo >'%1' http://127.0.0.1\n").arg(m_launcherDir.filePath("opened.txt")).toUtf8());
    launcher.close();
    struct Page
    {
        std::string mac;
        QString url;
    };
    for (const Page& page : {Page{kCamera, "http://10.0.0.64"}, Page{kDecoder, "https://10.0.0.68:8080"}}) {
        SCOPED_TRACE(page.mac);
        QFile::remove(m_launcherDir.filePath("opened.txt"));
        m_list->scrollToItem(row(page.mac));
        QTest::mouseClick(m_list->viewport(), Qt::LeftButton, Qt::NoModifier, pointOn(page.mac));
        QTest::mouseDClick(m_list->viewport(), Qt::LeftButton, Qt::NoModifier, pointOn(page.mac));
        ASSERT_TRUE(QTest::qWaitFor([&] { return openedUrl() == page.url; }, 5000)) << openedUrl().toStdString();

        // The URL answers with the device's own page.
        httplib::Client client(page.url.toStdString());
        client.enable_server_certificate_verification(false);
        client.set_connection_timeout(2);
        client.set_read_timeout(2);
        const httplib::Result answer = client.Get("/");
        ASSERT_TRUE(answer) << httplib::to_string(answer.error());
        EXPECT_EQ(answer->status, 200);
        EXPECT_NE(answer->body.find("<td id=\"mac\">" + page.mac + "</td>"), std::string::npos) << answer->body;
    }
}

TEST_F(DeviceActionsNet, TheFormFollowsOnlyARowTheUserSelected)
{
    MessageBoxRecorder boxes;
    child<QLineEdit>("password")->setText("Admin123");
    // A header click gives the list the focus and a current row, but selects none.
    QHeaderView* header = m_list->header();
    const QPoint onName(header->sectionViewportPosition(0) + 30, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, onName);
    // The list makes a row current by itself when it gets the focus: current, not selected.
    m_list->setCurrentItem(row(kSecondCamera), 0, QItemSelectionModel::NoUpdate);
    EXPECT_FALSE(row(kSecondCamera)->isSelected());
    EXPECT_EQ(macShown(), "");
    click("save");
    EXPECT_EQ(settled(boxes, 1), QStringList{translatedBox("IDCS_WARNING", "IDCS_NETWORK_PARAM_EMPTY")});

    // A filter fills the list anew: the selection, and with it the form, is gone.
    select(kCamera);
    EXPECT_EQ(macShown(), "02");
    // The restore panel takes the selected device's MAC too.
    QStringList restorePairs;
    for (const QLineEdit* pair : child("restoreMac")->findChildren<QLineEdit*>()) {
        restorePairs << pair->text();
    }
    EXPECT_EQ(restorePairs.join(QLatin1Char(':')).toStdString(), kCamera);
    m_window->slot_ipaddressMenuTriggered("10.0.0.64", "10.0.0.70");
    ASSERT_TRUE(QTest::qWaitFor([this] { return m_list->topLevelItemCount() == 7; }, 3000));
    EXPECT_EQ(macShown(), "");
    m_list->setCurrentItem(row(kCamera), 0, QItemSelectionModel::NoUpdate);
    EXPECT_EQ(macShown(), "");
    boxes.clear();
    click("save");
    EXPECT_EQ(settled(boxes, 1), QStringList{translatedBox("IDCS_WARNING", "IDCS_NETWORK_PARAM_EMPTY")});
    m_window->slot_filterCleared();
}

TEST_F(DeviceActionsNet, AnAddressInUseIsAskedAbout)
{
    // Another host on the devices' segment holds 10.0.0.80.
    const std::string lan2 = m_net->Namespace("lan2");
    ASSERT_EQ(std::system(("ip -n " + lan2 + " addr add 10.0.0.80/24 dev eth0").c_str()), 0);
    const QString lan2Mac = interfaceMac(lan2);
    ASSERT_FALSE(lan2Mac.isEmpty());
    const DeviceRowInfo* recorder = MainWindow::recordOf(row(kRecorder));
    ASSERT_NE(recorder, nullptr);
    const QString question = getText("IDCS_QUESTION") + QLatin1Char('|');
    const struct
    {
        QString ip;
        QString text;
    } cases[] = {
        {"10.0.0.5", getText("IDCS_ADDRESS_USED_BY_HOST").arg("10.0.0.5", "eth0")},
        {"10.0.0.65",
         getText("IDCS_ADDRESS_USED_BY_DEVICE")
             .arg("10.0.0.65", QStringLiteral("%1 (%2, %3)").arg(recorder->name, recorder->model, recorder->mac))},
        {"10.0.0.80", getText("IDCS_ADDRESS_USED_ON_NETWORK").arg("10.0.0.80", lan2Mac)},
    };
    MessageBoxRecorder boxes;
    boxes.setAnswer(N12_MessageBox::No);
    child<QLineEdit>("password")->setText("Admin123");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ip.toStdString());
        boxes.clear();
        select(kCamera);
        type("ip", c.ip, '.');
        click("save");
        EXPECT_EQ(settled(boxes, 1), QStringList{question + c.text});
    }
    QTest::qWait(300);
    EXPECT_EQ(shownIp(kCamera), "10.0.0.64") << "a change the user declined is not sent";

    // Told to go on, the change goes out.
    boxes.clear();
    boxes.setAnswer(N12_MessageBox::Yes);
    select(kCamera);
    type("ip", "10.0.0.80", '.');
    click("save");
    EXPECT_EQ(settled(boxes, 2),
              (QStringList{question + cases[2].text,
                           translatedBox("IDCS_INFORMATION", "IDCS_IDCS_CHANGE_NETWORK_PARAM_SUCCESS")}));
}

TEST_F(DeviceActionsNet, ANonCamerasRefusalAndSuccessAreShown)
{
    MessageBoxRecorder boxes;
    select(kRecorder);
    type("ip", "10.0.0.74", '.');
    child<QLineEdit>("password")->setText("wrong");
    click("save");
    // The window waits, and keeps painting, while the recorder answers.
    EXPECT_TRUE(m_window->requestRunning());
    EXPECT_FALSE(child<QWidget>("save")->isEnabled());
    EXPECT_FALSE(m_window->close());
    EXPECT_EQ(settled(boxes, 1), QStringList{translatedBox("IDCS_ERROR", "IDCS_IDCS_CHANGE_NETWORK_PARAM_ERROR")});
    EXPECT_TRUE(child<QWidget>("save")->isEnabled());

    boxes.clear();
    select(kRecorder);
    type("ip", "10.0.0.74", '.');
    child<QLineEdit>("password")->setText("Admin123");
    click("save");
    EXPECT_EQ(settled(boxes, 1),
              QStringList{translatedBox("IDCS_INFORMATION", "IDCS_IDCS_CHANGE_NETWORK_PARAM_SUCCESS")});
    EXPECT_TRUE(QTest::qWaitFor([&] { return shownIp(kRecorder) == "10.0.0.74"; }, 5000));
}

int main(int argc, char** argv)
{
    EnterPrivateNamespaces(argc, argv);
    // Headless also when CTest lists the tests, which it does without the test's environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    if (!WidgetTestSupport::applySkin() && WidgetTestSupport::skinExpected()) {
        return 1;
    }
    return RUN_ALL_TESTS();
}

TEST_F(DeviceActionsNet, ActivatesADeviceFromItsRowsContextMenu)
{
    // Index 5 waits for its first password; the camera is activated and offers nothing.
    const std::string waiting = SimMac(1, 5);
    QStringList offered;
    bool chosen = false;
    bool pending = false;
    QString typed = QStringLiteral("N3w-Secret!x");
    // Menu and dialog are modal: a timer answers them as a user would.
    QTimer answerer;
    answerer.setInterval(5);
    QObject::connect(&answerer, &QTimer::timeout, [&] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            auto* action = menu->findChild<QAction*>(QStringLiteral("activateDeviceAction"));
            const bool enabled = action != nullptr && action->isEnabled();
            if (!enabled || chosen) {
                offered << (enabled ? QStringLiteral("again") : QStringLiteral("off"));
                chosen = false;
                menu->hide();
            } else if (!pending) {
                // Chosen from a timer of its own: this one must stay free to answer the dialog.
                offered << QStringLiteral("enabled");
                pending = true;
                QTimer::singleShot(0, menu, [&, action] {
                    chosen = true;
                    pending = false;
                    action->trigger();
                });
            }
            return;
        }
        if (auto* dialog = qobject_cast<ActivateDeviceDialog*>(QApplication::activeModalWidget())) {
            dialog->findChild<QLineEdit*>(QStringLiteral("activateNewPassword"))->setText(typed);
            dialog->findChild<QLineEdit*>(QStringLiteral("activateConfirmPassword"))->setText(typed);
            dialog->slot_accept();
        }
    });
    answerer.start();
    MessageBoxRecorder boxes;
    for (const std::string& mac : {kCamera, waiting}) {
        m_list->scrollToItem(row(mac));
        emit m_list->customContextMenuRequested(pointOn(mac));
    }
    EXPECT_EQ(offered, (QStringList{QStringLiteral("off"), QStringLiteral("enabled")}));
    // The activation runs off the window's thread: its box comes when the device answered.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !boxes.boxes().isEmpty(); }, 10000));
    EXPECT_EQ(boxes.boxes(), QStringList{translatedBox("IDCS_INFORMATION", "IDCS_ACTIVATE_SUCCESS")});
    // The device now takes a change with its new password.
    select(waiting);
    type("ip", "10.0.0.75", '.');
    child<QLineEdit>("password")->setText(typed);
    click("save");
    EXPECT_TRUE(QTest::qWaitFor([&] { return shownIp(waiting) == "10.0.0.75"; }, 5000))
        << shownIp(waiting).toStdString();
}
