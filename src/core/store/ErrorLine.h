#pragma once

#include <QString>
#include <functional>
#include <optional>

// The store's error line. A line worded from message ids keeps its wording
// (the ids and their arguments), so a change of language words it again; a
// text set as it is, such as a reason an installer gave, stays as it is.
class ErrorLine
{
public:
    using Wording = std::function<QString()>;

    explicit ErrorLine(std::function<void()> changed) : m_changed(std::move(changed)) {}

    const std::optional<QString> &text() const { return m_text; }
    // A text as it is, or none.
    void set(const std::optional<QString> &text)
    {
        m_wording = nullptr;
        show(text);
    }
    // A line worded now, and again by reword().
    void setWording(Wording wording)
    {
        m_wording = std::move(wording);
        show(m_wording());
    }
    // Words the line in the language now installed.
    void reword()
    {
        if (m_wording)
            show(m_wording());
    }

private:
    void show(const std::optional<QString> &text)
    {
        if (text == m_text)
            return;
        m_text = text;
        m_changed();
    }

    std::optional<QString> m_text;
    Wording m_wording;
    std::function<void()> m_changed;
};
