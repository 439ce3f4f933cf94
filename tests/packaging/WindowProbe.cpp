// A Qt generic plug-in that the packaging test loads into the installed program
// (QT_QPA_GENERIC_PLUGINS=scanixwindowprobe), so the unchanged binary can be checked from outside:
// once the program shows its first top-level window, the probe writes what that window shows
// into the file named by SCANIX_PROBE_OUT and closes the window, as a user would. With
// SCANIX_PROBE_ROWS=N it first waits (bounded) until the window's list holds N rows, and
// reports the rows too.
#include <QApplication>
#include <QFile>
#include <QGenericPlugin>
#include <QLabel>
#include <QTimer>
#include <QTreeWidget>
#include <QWidget>

namespace {

constexpr int kPollMs = 50;
// Bounded: a program that never shows a window ends after ten seconds instead of hanging.
constexpr int kMaxPolls = 200;
// And one that never lists what it should, after twenty.
constexpr int kMaxRowPolls = 400;

QWidget* shownWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget->isWindow()) {
            return widget;
        }
    }
    return nullptr;
}

// One "kind<TAB>text" line per title the window carries, whichever way it carries it.
QByteArray describe(const QWidget* window)
{
    QByteArray out;
    auto add = [&](const char* kind, const QString& text) {
        if (!text.isEmpty()) {
            out += kind;
            out += '\t';
            out += text.toUtf8();
            out += '\n';
        }
    };
    add("title", window->windowTitle());
    add("accessible", window->accessibleName());
    for (const QLabel* label : window->findChildren<QLabel*>()) {
        if (label->isVisible()) {
            add("label", label->text());
        }
    }
    if (const QTreeWidget* list = window->findChild<QTreeWidget*>()) {
        add("rows", QString::number(list->topLevelItemCount()));
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            QStringList cells;
            for (int column = 0; column < list->columnCount(); ++column) {
                cells << list->topLevelItem(i)->text(column);
            }
            add("row", cells.join(QLatin1Char('|')));
        }
    }
    return out;
}

int rowsOf(const QWidget* window)
{
    const QTreeWidget* list = window->findChild<QTreeWidget*>();
    return list != nullptr ? list->topLevelItemCount() : 0;
}

class WindowProbe : public QObject
{
public:
    WindowProbe()
    {
        m_timer.setInterval(kPollMs);
        connect(&m_timer, &QTimer::timeout, this, &WindowProbe::poll);
        m_timer.start();
    }

private:
    void poll()
    {
        QWidget* window = shownWindow();
        if (window == nullptr) {
            if (++m_polls >= kMaxPolls) {
                m_timer.stop();
                report("none\tno window shown\n");
                QCoreApplication::exit(3);
            }
            return;
        }
        // The fleet answers within a few seconds; the poll limit bounds the wait.
        if (rowsOf(window) < m_wantedRows && ++m_rowPolls < kMaxRowPolls) {
            return;
        }
        m_timer.stop();
        report(describe(window));
        window->close();
    }

    static void report(const QByteArray& text)
    {
        QFile file(qEnvironmentVariable("SCANIX_PROBE_OUT"));
        if (file.open(QIODevice::WriteOnly)) {
            file.write(text);
        }
    }

    QTimer m_timer;
    int m_polls = 0;
    int m_rowPolls = 0;
    const int m_wantedRows = qEnvironmentVariableIntValue("SCANIX_PROBE_ROWS");
};

} // namespace

class WindowProbePlugin : public QGenericPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "WindowProbe.json")

public:
    QObject* create(const QString&, const QString&) override
    {
        return new WindowProbe;
    }
};

#include "WindowProbe.moc"
