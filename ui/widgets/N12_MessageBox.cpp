#include "N12_MessageBox.h"

#include "AdaptImage.h"
#include "LanguageSrc.h"
#include "QMXPushButton.h"

#include <QButtonGroup>
#include <QKeyEvent>
#include <QLabel>
#include <QStyle>
#include <QStyleOptionButton>

namespace {
struct KindInfo
{
    int kind;
    const char* icon;
    const char* titleKey;
};

constexpr KindInfo kKinds[] = {
    {N12_MessageBox::Warning, ":/skin/Warning.png", "IDCS_WARNING"},
    {N12_MessageBox::Error, ":/skin/Error.png", "IDCS_ERROR"},
    {N12_MessageBox::Information, ":/skin/Information.png", "IDCS_INFORMATION"},
    {N12_MessageBox::Question, ":/skin/Question.png", "IDCS_QUESTION"},
};

struct ButtonInfo
{
    int id;
    const char* textKey;
};

// Creation order is screen order, left to right; the last one created is the default.
constexpr ButtonInfo kButtonOrder[] = {
    {N12_MessageBox::AllYes, "IDCS_ALL_YES"},
    {N12_MessageBox::AllNot, "IDCS_ALL_NOT"},
    {N12_MessageBox::Ok, "IDCS_OK"},
    {N12_MessageBox::Cancel, "IDCS_CANCEL"},
    {N12_MessageBox::Yes, "IDCS_YES"},
    {N12_MessageBox::No, "IDCS_NO"},
};

// Buttons are 70 pixels wide; a longer translation ("Yes to All") widens its own button
// rather than being cut off. The style adds the skin's padding and border to the text.
int widthFor(const QAbstractButton* button)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const QFontMetrics metrics = button->fontMetrics();
    const QSize text(metrics.horizontalAdvance(button->text()), metrics.height());
    const int needed = button->style()->sizeFromContents(QStyle::CT_PushButton, &option, text, button).width();
    return qMax(int(N12_MessageBox::kButtonWidth), needed);
}

const KindInfo* findKind(int kind)
{
    for (const KindInfo& info : kKinds) {
        if (info.kind == kind) {
            return &info;
        }
    }
    return nullptr;
}
} // namespace

N12_MessageBox::N12_MessageBox(const QString& text, int buttons, int kind, QWidget* parent)
    : CustomDialog(parent)
    , m_buttons(buttons)
{
    setObjectName(QStringLiteral("messageBox"));
    const KindInfo* info = findKind(kind);
    m_icon = new AdaptImage(info != nullptr ? QString::fromLatin1(info->icon) : QString(), this);
    m_icon->setObjectName(QStringLiteral("messageIcon"));
    if (info != nullptr) {
        setTitle(getText(info->titleKey));
    }

    m_text = new QLabel(text, this);
    m_text->setObjectName(QStringLiteral("messageText"));
    m_text->setStyleSheet(QStringLiteral("font: 13px; border: 0px; background: transparent; color: rgb(204,204,204);"));
    m_text->setAlignment(Qt::AlignCenter);
    m_text->setWordWrap(false);
    // Messages carry device texts (names, models): never read as markup. Selectable, so an
    // address the message gives can be copied into a browser.
    m_text->setTextFormat(Qt::PlainText);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_group = new QButtonGroup(this);
    connect(m_group, &QButtonGroup::idClicked, this, &N12_MessageBox::slot_buttonClicked);
    QMXPushButton* last = nullptr;
    for (const ButtonInfo& button : kButtonOrder) {
        if ((buttons & button.id) == 0) {
            continue;
        }
        last = new QMXPushButton(getText(button.textKey), this);
        last->setObjectName(QStringLiteral("button%1").arg(button.id));
        m_group->addButton(last, button.id);
    }
    if (last != nullptr) {
        last->setAutoDefault(true);
        last->setDefault(true);
        last->setFocus();
        m_result = m_group->id(last);
    }
    // Long captions in a full row of buttons may not fit 360 pixels; the box grows instead of
    // pushing its first button off the left edge.
    ensurePolished();
    int rowWidth = 2 * kButtonMargin;
    for (QAbstractButton* button : buttonList()) {
        rowWidth += widthFor(button);
    }
    if ((buttons & (AllYes | AllNot)) != 0) {
        rowWidth += kAllPairGap;
    }
    // A line wider than the text's room (from x 80 to 10 short of the right edge) widens the
    // box, up to a limit, before it wraps: an address or MAC in it then stays whole.
    m_text->ensurePolished();
    int widest = 0;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        widest = qMax(widest, m_text->fontMetrics().horizontalAdvance(line));
    }
    resize(qMax(rowWidth, qBound(360, widest + 94, kMaxWidth)), 200);
}

int N12_MessageBox::result() const
{
    return m_result;
}

int N12_MessageBox::buttons() const
{
    return m_buttons;
}

QList<QAbstractButton*> N12_MessageBox::buttonList() const
{
    QList<QAbstractButton*> ordered;
    for (const ButtonInfo& button : kButtonOrder) {
        if (QAbstractButton* found = m_group->button(button.id)) {
            ordered.append(found);
        }
    }
    return ordered;
}

void N12_MessageBox::slot_buttonClicked(int id)
{
    m_result = id;
    accept();
}

void N12_MessageBox::resizeEvent(QResizeEvent* event)
{
    CustomDialog::resizeEvent(event);
    const int w = width();
    const int h = height();
    m_icon->setGeometry(20, 70, 50, 50);
    m_text->setGeometry(80, 40, w - 90, 110);
    // One line as long as it fits; a line wider than the label wraps instead of being cut off.
    int widest = 0;
    for (const QString& line : m_text->text().split(QLatin1Char('\n'))) {
        widest = qMax(widest, m_text->fontMetrics().horizontalAdvance(line));
    }
    m_text->setWordWrap(widest > m_text->width());

    // Right-aligned from w - 11; the "all" pair and everything left of it stand 20 pixels apart.
    const QList<QAbstractButton*> ordered = buttonList();
    int right = w - kButtonMargin;
    bool gapPlaced = false;
    for (auto it = ordered.crbegin(); it != ordered.crend(); ++it) {
        const int id = m_group->id(*it);
        if (!gapPlaced && (id == AllNot || id == AllYes)) {
            right -= kAllPairGap;
            gapPlaced = true;
        }
        const int buttonWidth = widthFor(*it);
        (*it)->setGeometry(right - buttonWidth + 1, h - 27, buttonWidth, kButtonHeight);
        right -= buttonWidth;
    }
}

void N12_MessageBox::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        // The most cautious answer present wins: Cancel over No over All-not.
        if (m_buttons & AllNot) {
            m_result = AllNot;
        }
        if (m_buttons & No) {
            m_result = No;
        }
        if (m_buttons & Cancel) {
            m_result = Cancel;
        }
        reject();
        return;
    }
    CustomDialog::keyPressEvent(event);
}

int showMessage(const QString& text, int buttons, int kind, QWidget* parent)
{
    N12_MessageBox box(text, buttons, kind, parent);
    box.exec();
    return box.result();
}

void showWarning(const QString& text, QWidget* parent)
{
    showMessage(text, N12_MessageBox::Ok, N12_MessageBox::Warning, parent);
}

void showError(const QString& text, QWidget* parent)
{
    showMessage(text, N12_MessageBox::Ok, N12_MessageBox::Error, parent);
}

void showInformation(const QString& text, QWidget* parent)
{
    showMessage(text, N12_MessageBox::Ok, N12_MessageBox::Information, parent);
}

int askOkCancel(const QString& text, QWidget* parent)
{
    return showMessage(text, N12_MessageBox::Ok | N12_MessageBox::Cancel, N12_MessageBox::Question, parent);
}

int askYesNo(const QString& text, QWidget* parent)
{
    return showMessage(text, N12_MessageBox::Yes | N12_MessageBox::No, N12_MessageBox::Question, parent);
}
