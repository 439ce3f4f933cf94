#pragma once

#include "N12_MessageBox.h"

#include <QApplication>
#include <QLabel>
#include <QStringList>
#include <QTimer>

// Answers every message box that opens while it lives: notes "title|text", then presses OK,
// or for a question the answer set (Yes unless told otherwise). So a test can call a slot that shows a modal box and
// check afterwards which boxes came, in order.
class MessageBoxRecorder : public QObject
{
public:
    // `grab`, when set, runs on each box before it is closed (for screenshots).
    explicit MessageBoxRecorder(std::function<void(N12_MessageBox*)> grab = {})
        : m_grab(std::move(grab))
    {
        m_timer.setInterval(5);
        connect(&m_timer, &QTimer::timeout, this, [this]() { answer(); });
        m_timer.start();
    }

    // Title and text of each box, e.g. "Error|The IP address is empty."
    QStringList boxes() const
    {
        return m_boxes;
    }
    void clear()
    {
        m_boxes.clear();
    }
    // The button pressed on a Yes/No question.
    void setAnswer(N12_MessageBox::Button answer)
    {
        m_answer = answer;
    }

private:
    void answer()
    {
        auto* box = qobject_cast<N12_MessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible()) {
            return;
        }
        const auto* text = box->findChild<QLabel*>(QStringLiteral("messageText"));
        m_boxes << box->title() + QLatin1Char('|') + (text != nullptr ? text->text() : QString());
        if (m_grab) {
            m_grab(box);
        }
        box->slot_buttonClicked((box->buttons() & N12_MessageBox::Yes) != 0 ? m_answer : N12_MessageBox::Ok);
    }

    std::function<void(N12_MessageBox*)> m_grab;
    QTimer m_timer;
    QStringList m_boxes;
    N12_MessageBox::Button m_answer = N12_MessageBox::Yes;
};
